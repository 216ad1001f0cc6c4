#pragma once
// Conversions between call-by-name values and the typed arguments of the named functions.
#include <optional>
#include <string>

#include "consensus/curve_protocol.h"
#include "platform/value.h"

namespace tav {

// Input i (0-based) or nullptr when absent.
const Value* input(const List& in, size_t i);
// Input i, which must be present: Error "NAME needs at least N inputs" otherwise.
const Value& required(const List& in, size_t i, const std::string& function);

Matrix to_matrix(const Value& v);
Row to_row(const Value& v);  // any vector, in column order
double to_number(const Value& v);
Index to_index(const Value& v);  // a positive whole number
std::string to_text(const Value& v);
// A text given on the command line stands for the number it spells ("1" -> 1).
Value number_if_numeric(const Value& v);

// numfull, numopen, member lists and type lists as the protocol routines take them.
CurveProtocol to_protocol(const Value& numfull, const Value& numopen, const Value& members,
                          const Value* types);
Value members_value(const CurveProtocol& p);
Value types_value(const CurveProtocol& p);

}  // namespace tav
