#pragma once
// An input file read once, whole, and the readers that turn its bytes into configurations.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/matrix.h"
#include "platform/shown_name.h"

namespace tav {

// The longest line a reader accepts; a longer one is refused rather than held in memory.
inline constexpr size_t kLongestLine = 64u << 20;

// The bytes of `fname`, read once from its start (so pipes and devices work), or nullopt when
// it cannot be opened. Raises Error naming the file and the line at the first NUL byte (the
// reading stops there, so a device of zeros ends at once) and at a line longer than
// kLongestLine.
std::optional<std::string> read_input(const std::string& fname);

// What a user reads when the memory runs out while `file` (as messages show it) is read or
// worked on: a load or a run catches std::bad_alloc where it starts and raises this instead.
Error too_large_for_memory(const std::string& file);

// What a user reads when a file seems to write decimals with a comma, and how to mend it.
std::string decimal_comma_advice();

// Numeric rows: one configuration (or protocol row) per line, read in one pass.
struct RowsRead {
  Index cols = 0;
  std::vector<double> values;         // row after row
  std::vector<std::string> trailing;  // the last value of every row, as written in the file
  long end_line = 0;                  // the line number of the end line; 0 when none
  long unread_lines = 0;              // lines after the end line
  long unread_number_lines = 0;       // of those, lines holding a digit
  bool decimal_comma = false;         // commas sit between digits only, and blanks separate values
  bool commas = false;                // some value is followed by a comma
  long header_line = 0;               // the line of column names the rows came under; 0: none
};

// Reads numeric rows from `text` (the contents of `fname`, named in messages). Line ends are
// LF, CR LF or a lone CR, each one line end; a UTF-8 byte order mark is skipped. The rows end at
// the physical end or at the first line after the first whose length, line end counted as one,
// is exactly one character (an empty line, or a last line of one character). Every row must
// hold the same count of finite numbers, separated by blanks, tabs or commas: otherwise Error
// naming the file and the line. The rows begin on `first_line`; the lines before it are not read.
RowsRead read_rows(const std::string& fname, std::string_view text, long first_line = 1);

// The rows of a sample file, under a header line or not. A first line of column names split by
// tabs or commas (column_header: x1 y1 ... xk yk in any order, then one trailing column) is not
// read as a row: the rows below it are read by read_rows and each row's coordinates put in the
// order x1 y1 ... xk yk; every row must hold as many values as the header names. A header that
// does not settle this layout, and a row of another width, raise Error naming the file and the
// line. Without a header line, read_rows.
RowsRead read_sample_rows(const std::string& fname, std::string_view text);

}  // namespace tav
