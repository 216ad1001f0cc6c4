#pragma once
// Reading a curve protocol table into the curve lists and point types.
#include <functional>
#include <optional>
#include <string>

#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav {

// What a curve-protocol row and a sliders row hold, for the messages about a file given as a
// protocol.
std::string protocol_row_forms();

// The first line of `text` (the bytes of fname, a file given as a protocol) that is neither a
// curve-protocol row (four numbers or more) nor a sliders row (three numbers), or that holds
// another count than the rows before it, as a message naming the file, the line and what was
// found there, and protocol_row_forms(); nullopt when there is none. A first line of names is
// allowed above sliders rows only.
std::optional<std::string> protocol_row_problem(const std::string& fname, const std::string& text);

// Refuses, before anything changes, a protocol table the run cannot use: fewer than 4 columns,
// a curve code that is not a whole number, a point index that is not a positive whole number,
// a gap in the curve codes. k: points per configuration of the loaded data (0: no data).
// Errors name the protocol file and the row.
void check_protocol(const Matrix& protoc, const std::string& file, Index k);

// Point types by point number: element k set to 0 first (so the list covers the data), then
// each row's type written at its point (the last row naming a point wins).
Row protocol_point_types(const Matrix& protoc, Index k, Row lmtypelist);

// The member and type rows of every curve code from the smallest to the largest.
// `each_code` is told every code as it is visited.
CurveProtocol protocol_curves(const Matrix& protoc, const std::function<void(int)>& each_code);

}  // namespace tav
