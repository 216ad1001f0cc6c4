#pragma once
// Sample files whose fields are split by tabs, semicolons or commas (spreadsheet exports, MorphoJ
// text; formats/line_fields.h splits them), and a first line of column names in them: what the
// names say about the columns below.
#include <string>
#include <string_view>
#include <vector>

#include "formats/formats.h"
#include "platform/matrix.h"

namespace tav {

// Whether `line`, split by `sep`, is a line of column names rather than values: none of its
// fields reads as a number (an infinite or not-a-number spelling counts as one) and one of them
// holds a letter.
bool is_column_header(std::string_view line, char sep);

// What a header's names say. Coordinates are named by an axis and a point number, in either
// order, in any case, with an optional separator ('_', '.', '-' or a blank) and an optional
// prefix "lm", "landmark", "p", "pt" or "point": x1, Y_12, x.3, LM4_X, 3y. A name may be quoted.
// The centroid size is "CentroidSize", "Centroid size", "CS" or "CSize"; its logarithm
// "LogCentroidSize", "LogCS", "LnCentroidSize" or "LnCS".
struct ColumnHeader {
  // Rows: x1 y1 ... xk yk (in any order), then one trailing column last: the program's own rows
  // under a header. MorphoJ: a label column first, then the coordinates and at most one
  // centroid-size column (kept as the trailing value).
  FileKind layout = FileKind::MorphoJ;
  Index points = 0;                // k
  std::vector<Index> place;        // per column: its place among x1 y1 ... xk yk, or -1
  Index size_column = -1;          // MorphoJ: the centroid-size column; -1 for none
  std::vector<Index> log_columns;  // MorphoJ: logarithms of that size, not read
  std::string problem;             // why the names do not settle the reading; "" when they do
};

// The reading `names` (a header line's fields, as split_fields gives them) settle. Never raises:
// a header that settles nothing says why in `problem`, for the reader to prefix with the file
// and the line.
ColumnHeader column_header(const std::vector<std::string>& names);

}  // namespace tav
