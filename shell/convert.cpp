#include "shell/convert.h"

#include <climits>
#include <cmath>
#include <initializer_list>

#include "consensus/consensus.h"
#include "formats/files.h"
#include "platform/format.h"
#include "platform/parse.h"
#include "sliding/sliding.h"

namespace tav {
namespace {

// The number of a flag or colour code, one of `allowed`; `meaning` spells them for the refusal.
double choice(const Value& v, std::initializer_list<double> allowed, const std::string& meaning) {
  const Value n = number_if_numeric(v);
  if (n.is_matrix() && n.matrix().size() == 1)
    for (double a : allowed)
      if (n.scalar() == a) return a;
  const std::string got =
      n.is_matrix() && n.matrix().size() == 1 ? g_text(n.scalar()) : describe(n);
  throw Error("must be " + meaning + ", got " + got);
}

}  // namespace

Value number_if_numeric(const Value& v) {
  if (!v.is_text()) return v;
  try {
    const Row r = parse_numbers(v.text());
    if (r.size() > 0) return Value(Matrix(r));
  } catch (const Error&) {
  }
  return v;
}

template <>
Matrix from_value(const Value& v) {
  return number_if_numeric(v).matrix();
}

template <>
Row from_value(const Value& v) {
  const Matrix m = from_value<Matrix>(v);
  return Eigen::Map<const Row>(m.data(), m.size());
}

template <>
double from_value(const Value& v) {
  return number_if_numeric(v).scalar();
}

template <>
Index from_value(const Value& v) {
  const double d = from_value<double>(v);
  if (!(d >= 1) || d != std::floor(d) || d > 1e12)
    throw Error("an index must be a positive whole number, got " + std::to_string(d));
  return static_cast<Index>(d);
}

template <>
int from_value(const Value& v) {
  const double d = from_value<double>(v);
  // Checked before the conversion, which is undefined for a number out of range.
  if (!(d >= INT_MIN && d <= INT_MAX) || d != std::floor(d))
    throw Error("must be a whole number, got " + g_text(d));
  return static_cast<int>(d);
}

template <>
bool from_value(const Value& v) {
  return choice(v, {0, 1}, "0 or 1") == 1;
}

template <>
ColourCode from_value(const Value& v) {
  return choice(v, {0, 1}, "0 (own colours) or 1 (own and comparison colours)") == 1
             ? ColourCode::compared
             : ColourCode::own;
}

template <>
std::string from_value(const Value& v) {
  return v.text();
}

template <>
Eigen::RowVector2d from_value(const Value& v) {
  const Row r = from_value<Row>(v);
  if (r.size() != 2)
    throw Error("a point is a 1x2 row [x y], got " + describe(number_if_numeric(v)));
  return Eigen::RowVector2d(r);
}

template <>
CurveMembers from_value(const Value& v) {
  CurveMembers out;
  for (const Value& e : v.list()) {
    const Row r = from_value<Row>(e);
    std::vector<int> row;
    for (Index i = 0; i < r.size(); ++i) {
      if (r(i) != std::floor(r(i)) || !(r(i) >= 1) || r(i) > INT_MAX)
        throw Error("a curve member must be a positive whole point number, got " +
                    std::to_string(r(i)));
      row.push_back(static_cast<int>(r(i)));
    }
    out.rows.push_back(row);
  }
  return out;
}

template <>
PointTypes from_value(const Value& v) {
  PointTypes out;
  if (!v.is_list()) return out;
  for (const Value& e : v.list()) {
    const Row r = from_value<Row>(e);
    out.rows.emplace_back(r.data(), r.data() + r.size());
  }
  return out;
}

CurveProtocol curve_protocol(int numfull, int numopen, const CurveMembers& members,
                             const PointTypes* types) {
  CurveProtocol p;
  p.numfull = numfull;
  p.numopen = numopen;
  p.members = members.rows;
  if (types) p.types = types->rows;
  return p;
}

List results(bool r) { return {Value(r ? 1.0 : 0.0)}; }
List results(const Eigen::RowVector2d& r) { return {Value(Row(r))}; }
List results(const Eigen::VectorXd& r) { return {Value(Matrix(r))}; }
List results(const Consensus& r) { return {Value(Matrix(r.y)), Value(r.xpt)}; }
List results(const Tangent& r) { return {Value(r.x), Value(r.y)}; }

List results(const std::optional<ChosenDataFile>& r) {
  if (!r) return {Value(0.0), Value(0.0)};
  return {r->file ? Value(r->file->x) : Value(-1.0), Value(r->fn)};
}

}  // namespace tav
