#include "formats/protocol.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "platform/format.h"

namespace tav {
namespace {
constexpr double kMostPoints = 1e6;

std::string where(const std::string& file, Index row) {
  return "protocol " + file + ", row " + std::to_string(row + 1) + ": ";
}
}  // namespace

void check_protocol(const Matrix& protoc, const std::string& file, Index k) {
  if (k < 1)
    throw Error("protocol " + file + ": no data are loaded; load a sample before its protocol");
  if (protoc.cols() < 4)
    throw Error("protocol " + file + ": rows hold " + std::to_string(protoc.cols()) +
                " numbers; a protocol row needs 4 (curve code, unused, point, type)");
  std::set<long> codes;
  std::map<std::pair<long, long>, Index> in_curve;   // (code, point) -> first row
  std::map<long, std::pair<double, Index>> type_of;  // point -> (type, first row)
  for (Index i = 0; i < protoc.rows(); ++i) {
    const double code = protoc(i, 0), point = protoc(i, 2), type = protoc(i, 3);
    if (code != std::floor(code) || std::fabs(code) > 1e6)
      throw Error(where(file, i) + "the curve code " + g_text(code) + " is not a whole number");
    if (point != std::floor(point) || point < 1)
      throw Error(where(file, i) + "the point " + g_text(point) +
                  " is not a positive whole number; points are numbered from 1");
    // The point-type list grows to the highest point named: a point far beyond the data would
    // make it huge, so it is refused here rather than after the list is built.
    if (point > std::max(static_cast<double>(k), kMostPoints))
      throw Error(where(file, i) + "names point " + g_text(point) + ", but the data have " +
                  std::to_string(k) + " points; load the data this protocol was made for");
    if (type != 0 && type != 1 && type != 2)
      throw Error(where(file, i) + "the type " + g_text(type) +
                  " is not 0 (landmark), 1 (semi-landmark) or 2 (helper point)");
    const long c = static_cast<long>(code), p = static_cast<long>(point);
    const auto [at, fresh] = in_curve.emplace(std::make_pair(c, p), i);
    if (!fresh)
      throw Error(where(file, i) + "point " + std::to_string(p) + " is listed twice in curve " +
                  std::to_string(c) + " (rows " + std::to_string(at->second + 1) + " and " +
                  std::to_string(i + 1) + "); list each point once per curve");
    const auto [t, first] = type_of.emplace(p, std::make_pair(type, i));
    if (!first && t->second.first != type)
      throw Error(where(file, i) + "point " + std::to_string(p) + " has type " + g_text(type) +
                  ", but row " + std::to_string(t->second.second + 1) + " gives it type " +
                  g_text(t->second.first) + "; give every point one type in all its curves");
    codes.insert(c);
  }
  for (long j = *codes.begin(); j <= *codes.rbegin(); ++j)
    if (!codes.count(j))
      throw Error("protocol " + file + ": no row has curve code " + std::to_string(j) +
                  "; give every code from " + std::to_string(*codes.begin()) + " to " +
                  std::to_string(*codes.rbegin()) + " a row");
}

Row protocol_point_types(const Matrix& protoc, Index k, Row lmtypelist) {
  set_grow(lmtypelist, k, 0);
  for (Index i = 0; i < protoc.rows(); ++i)
    set_grow(lmtypelist, static_cast<Index>(protoc(i, 2)), protoc(i, 3));
  return lmtypelist;
}

CurveProtocol protocol_curves(const Matrix& protoc, const std::function<void(int)>& each_code) {
  CurveProtocol p;
  p.numfull = static_cast<int>(protoc.col(0).minCoeff());
  p.numopen = static_cast<int>(protoc.col(0).maxCoeff());
  // Rows go to their curve's bucket in one pass, in file order.
  const size_t count = static_cast<size_t>(p.numopen - p.numfull + 1);
  p.members.assign(count, {});
  p.types.assign(count, {});
  for (Index i = 0; i < protoc.rows(); ++i) {
    const size_t at = static_cast<size_t>(static_cast<int>(protoc(i, 0)) - p.numfull);
    p.members[at].push_back(static_cast<int>(protoc(i, 2)));
    p.types[at].push_back(protoc(i, 3));
  }
  for (int j = p.numfull; j <= p.numopen; ++j) each_code(j);
  return p;
}

}  // namespace tav
