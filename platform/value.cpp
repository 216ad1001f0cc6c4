#include "platform/value.h"

namespace tav {

bool Value::empty() const {
  if (is_matrix()) return matrix().size() == 0;
  if (is_text()) return text().empty();
  if (is_list()) return list().empty();
  return fields().empty();
}

namespace {
[[noreturn]] void wrong_kind(const Value& v, const char* wanted) {
  throw Error(std::string("expected ") + wanted + ", got " + describe(v));
}
}  // namespace

const Matrix& Value::matrix() const {
  if (!is_matrix()) wrong_kind(*this, "a number or matrix");
  return std::get<Matrix>(v);
}
const std::string& Value::text() const {
  if (!is_text()) wrong_kind(*this, "a text");
  return std::get<std::string>(v);
}
const List& Value::list() const {
  if (!is_list()) wrong_kind(*this, "a list");
  return std::get<List>(v);
}
const Struct& Value::fields() const {
  if (!is_struct()) wrong_kind(*this, "a structure");
  return std::get<Struct>(v);
}

double Value::scalar() const {
  const Matrix& m = matrix();
  if (m.size() != 1) throw Error("expected a single number, got " + describe(*this));
  return m(0, 0);
}

bool Value::truthy() const {
  if (is_matrix()) {
    const Matrix& m = matrix();
    return m.size() > 0 && (m.array() != 0).all();
  }
  if (is_text()) {
    const std::string& s = text();
    if (s.empty()) return false;
    for (char c : s)
      if (c == 0) return false;
    return true;
  }
  return false;
}

bool Value::operator==(const Value& o) const {
  if (v.index() != o.v.index()) return false;
  if (is_matrix()) {
    const Matrix &a = matrix(), &b = o.matrix();
    return a.rows() == b.rows() && a.cols() == b.cols() && (a.array() == b.array()).all();
  }
  if (is_text()) return text() == o.text();
  if (is_list()) return list() == o.list();
  const Struct &a = fields(), &b = o.fields();
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].name != b[i].name || !(a[i].value == b[i].value)) return false;
  return true;
}

const Value* find_field(const Struct& s, const std::string& name) {
  for (const Field& f : s)
    if (f.name == name) return &f.value;
  return nullptr;
}

std::string describe(const Value& v) {
  if (v.is_text()) return "a text";
  if (v.is_list()) return "a list of " + std::to_string(v.list().size());
  if (v.is_struct()) return "a structure";
  const Matrix& m = v.matrix();
  return "a " + std::to_string(m.rows()) + "x" + std::to_string(m.cols()) + " matrix";
}

}  // namespace tav
