#include "shell/convert.h"

#include <cmath>
#include <cstdlib>

#include "platform/parse.h"

namespace tav {

const Value* input(const List& in, size_t i) { return i < in.size() ? &in[i] : nullptr; }

const Value& required(const List& in, size_t i, const std::string& function) {
  if (i >= in.size())
    throw Error(function + " needs at least " + std::to_string(i + 1) + " inputs, got " +
                std::to_string(in.size()));
  return in[i];
}

Value number_if_numeric(const Value& v) {
  if (!v.is_text()) return v;
  try {
    const Row r = parse_numbers(v.text());
    if (r.size() > 0) return Value(Matrix(r));
  } catch (const Error&) {
  }
  return v;
}

Matrix to_matrix(const Value& v) { return number_if_numeric(v).matrix(); }

Row to_row(const Value& v) {
  const Matrix m = to_matrix(v);
  return Eigen::Map<const Row>(m.data(), m.size());
}

double to_number(const Value& v) { return number_if_numeric(v).scalar(); }

Index to_index(const Value& v) {
  const double d = to_number(v);
  if (!(d >= 1) || d != std::floor(d) || d > 1e12)
    throw Error("an index must be a positive whole number, got " + std::to_string(d));
  return static_cast<Index>(d);
}

std::string to_text(const Value& v) { return v.text(); }

namespace {
template <typename T>
std::vector<std::vector<T>> rows_of(const Value& v) {
  std::vector<std::vector<T>> out;
  for (const Value& e : v.list()) {
    const Row r = to_row(e);
    std::vector<T> row;
    for (Index i = 0; i < r.size(); ++i) row.push_back(static_cast<T>(r(i)));
    out.push_back(row);
  }
  return out;
}

template <typename T>
Value list_of(const std::vector<std::vector<T>>& rows) {
  List l;
  for (const auto& r : rows) {
    Row m(static_cast<Index>(r.size()));
    for (size_t i = 0; i < r.size(); ++i) m(static_cast<Index>(i)) = static_cast<double>(r[i]);
    l.push_back(r.empty() ? Value() : Value(m));
  }
  return Value(l);
}
}  // namespace

CurveProtocol to_protocol(const Value& numfull, const Value& numopen, const Value& members,
                          const Value* types) {
  CurveProtocol p;
  p.numfull = static_cast<int>(to_number(numfull));
  p.numopen = static_cast<int>(to_number(numopen));
  for (const Value& e : members.list()) {
    const Row r = to_row(e);
    std::vector<int> row;
    for (Index i = 0; i < r.size(); ++i) {
      if (r(i) != std::floor(r(i)) || !(r(i) >= 1))
        throw Error("a curve member must be a positive whole point number, got " +
                    std::to_string(r(i)));
      row.push_back(static_cast<int>(r(i)));
    }
    p.members.push_back(row);
  }
  if (types && types->is_list()) p.types = rows_of<double>(*types);
  return p;
}

Value members_value(const CurveProtocol& p) { return list_of(p.members); }
Value types_value(const CurveProtocol& p) { return list_of(p.types); }

}  // namespace tav
