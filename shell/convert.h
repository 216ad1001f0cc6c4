#pragma once
// Conversions between call-by-name values and the typed inputs and results of the named
// functions. Each conversion of an input raises Error with the reason alone; the call layer
// (shell/by_name.h) puts the function and the input in front of it.
#include <optional>
#include <string>
#include <vector>

#include "consensus/curve_protocol.h"
#include "display/display.h"
#include "formats/files.h"
#include "platform/value.h"

namespace tav {

struct Consensus;
struct Tangent;

// A text given on the command line stands for the number it spells ("1" -> 1).
Value number_if_numeric(const Value& v);

// The curve members of a protocol as callers give them: a list of rows of 1-based point numbers.
struct CurveMembers {
  std::vector<std::vector<int>> rows;
};
// The point types of a protocol: a list of rows (0 landmark, 1 semi-landmark, other helper);
// anything but a list gives no types.
struct PointTypes {
  std::vector<std::vector<double>> rows;
};

// An input that a caller may give as the empty value [] (value absent then).
template <class T>
struct OrEmpty {
  std::optional<T> value;
};

// The input of type T read from a value (defined for the types below). Refusals:
//   Matrix, Row (any vector, column order), double: "expected a number or matrix, got ...",
//     "expected a single number, got ...";
//   Index: a positive whole number ("an index must be a positive whole number, got ...");
//   int: a whole number within the range of int;
//   bool: 0 or 1; ColourCode: 0 (own colours) or 1 (own and comparison colours);
//   std::string: "expected a text, got ...";
//   Eigen::RowVector2d: a point, two numbers [x y];
//   CurveMembers: rows of positive whole point numbers.
template <class T>
T from_value(const Value& v);
template <>
Matrix from_value(const Value& v);
template <>
Row from_value(const Value& v);
template <>
double from_value(const Value& v);
template <>
Index from_value(const Value& v);
template <>
int from_value(const Value& v);
template <>
bool from_value(const Value& v);
template <>
ColourCode from_value(const Value& v);
template <>
std::string from_value(const Value& v);
template <>
Eigen::RowVector2d from_value(const Value& v);
template <>
CurveMembers from_value(const Value& v);
template <>
PointTypes from_value(const Value& v);

// The protocol of the curve codes numfull..numopen with its members and (when given) types.
CurveProtocol curve_protocol(int numfull, int numopen, const CurveMembers& members,
                             const PointTypes* types);

// The results of a named function, first to last, as call by name hands them back (the caller
// keeps as many as it asked for).
template <class T>
List results(const T& r) {
  return {Value(r)};
}
List results(bool r);                       // 1 or 0
List results(const Eigen::RowVector2d& r);  // a 1×2 row
List results(const Eigen::VectorXd& r);     // an n×1 column
List results(const Consensus& r);           // the consensus row, then the processed sample
List results(const Tangent& r);             // x, then y
// The matrix read (-1: the file did not open) and the file's name; 0 and 0 when cancelled.
// The file dialog's choice and the file read, as the call by name of the dialog returns them.
struct ChosenDataFile {
  std::optional<DataFile> file;  // none: the file could not be opened
  std::string fn;                // chosen file name without folder, as messages show it
};
List results(const std::optional<ChosenDataFile>& r);

}  // namespace tav
