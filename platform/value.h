#pragma once
// Values that cross the call-by-name boundary and fill graphics properties: a numeric matrix
// (handles and flags are numbers too), a text, a list or a structure of named fields.
#include <string>
#include <variant>
#include <vector>

#include "platform/matrix.h"

namespace tav {

struct Field;
struct Value;
using List = std::vector<Value>;
using Struct = std::vector<Field>;

struct Value {
  std::variant<Matrix, std::string, List, Struct> v;

  // Defined below, once Field is complete: building the variant needs every alternative whole.
  Value();
  Value(const Matrix& m);
  Value(const Row& r);
  Value(double d);
  Value(int d);
  Value(const std::string& s);
  Value(const char* s);
  Value(const List& l);
  Value(const Struct& s);

  bool is_matrix() const { return std::holds_alternative<Matrix>(v); }
  bool is_text() const { return std::holds_alternative<std::string>(v); }
  bool is_list() const { return std::holds_alternative<List>(v); }
  bool is_struct() const { return std::holds_alternative<Struct>(v); }
  // Empty matrix, empty text, empty list or structure without fields.
  bool empty() const;

  // Typed access; each raises Error naming the expected kind when the value is another kind.
  const Matrix& matrix() const;
  const std::string& text() const;
  const List& list() const;
  const Struct& fields() const;
  // The single number of a 1×1 matrix (Error otherwise).
  double scalar() const;
  // A condition holds when the value is a non-empty matrix with every element non-zero
  // (a text: every character code non-zero).
  bool truthy() const;

  bool operator==(const Value& o) const;
};

struct Field {
  std::string name;
  Value value;
};

inline Value::Value() : v(Matrix(0, 0)) {}
inline Value::Value(const Matrix& m) : v(m) {}
inline Value::Value(const Row& r) : v(Matrix(r)) {}
inline Value::Value(double d) : v(Matrix::Constant(1, 1, d)) {}
inline Value::Value(int d) : Value(static_cast<double>(d)) {}
inline Value::Value(const std::string& s) : v(s) {}
inline Value::Value(const char* s) : v(std::string(s)) {}
inline Value::Value(const List& l) : v(l) {}
inline Value::Value(const Struct& s) : v(s) {}

// Field of a structure by exact name, or nullptr.
const Value* find_field(const Struct& s, const std::string& name);

// Short description of a value's kind and size, for error texts ("a 1x3 matrix", "a text").
std::string describe(const Value& v);

}  // namespace tav
