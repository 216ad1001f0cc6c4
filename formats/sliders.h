#pragma once
// Sliders tables, the way other tools give semi-landmarks: one row per sliding point, the point
// before it, the point itself and the point after it along its curve (three columns, split by
// commas, semicolons, tabs or blanks; a header line of column names optional).
#include <string>
#include <vector>

#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav {

struct SliderRow {
  long line = 0;                            // in the file
  Index before = 0, slider = 0, after = 0;  // 1-based point numbers
};

// Whether `text` (a file's bytes) is a sliders table: its first row of numbers (after an
// optional header line) holds exactly three positive whole numbers, which a curve protocol
// (four columns) never does.
bool is_sliders_table(const std::string& text);

// The rows of the sliders table `text`, the bytes of fname (named in messages). Raises Error
// naming the file, the line and what was expected.
std::vector<SliderRow> read_sliders(const std::string& fname, const std::string& text);

// The curve protocol table (rows: curve code, 0, point, type) the sliders describe over data of
// k points. Sliders that follow each other form one curve; a chain that comes back to its first
// slider is a closed curve (codes -1, -2, ... in table order), any other an open curve (codes
// 1, 2, ...) running from the point before its first slider to the point after its last.
// Sliders are typed 1; curve 0 lists every other point of the data, typed 0. Raises Error
// naming the file and the line for a point beyond the data, a point that slides twice, or rows
// that disagree on which point follows which.
Matrix protocol_from_sliders(const std::vector<SliderRow>& rows, Index k, const std::string& fname);

// A curve protocol as a sliders table with a header line: every semi-landmark and helper point
// of a curve other than curve 0 with its neighbours (closed curves wrap round). Raises Error for
// a sliding point at an end of an open curve, which has no neighbour to name, for a point that
// slides on two curves, which a table would name as a slider twice, and for a protocol in which
// no point slides (a table without rows).
std::string sliders_text(const CurveProtocol& p);

// What the sliders table of p cannot say, one text per curve that reads back otherwise: a curve
// through a landmark inside it (read back, split at the landmark), a closed curve through two
// landmarks or more (open curves between them) or through one not listed first (listed from
// it), an open curve that ends where it begins (a closed curve), a curve of landmarks only (no
// curve). Empty when the table reads back as p's curves,
// up to their codes and with helper points as semi-landmarks.
std::vector<std::string> sliders_table_losses(const CurveProtocol& p);

}  // namespace tav
