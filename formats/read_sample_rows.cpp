#include <algorithm>

#include "formats/column_header.h"
#include "formats/input.h"
#include "formats/line_fields.h"
#include "platform/error.h"

namespace tav {
namespace {

// The first line of `text` (a byte order mark skipped), without its line end.
std::string_view first_line(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text.substr(0, std::min(text.find_first_of("\r\n"), text.size()));
}

// Puts every row's coordinates in the order x1 y1 ... xk yk; place[c] is column c's place.
void order_by_name(RowsRead& r, const std::vector<Index>& place) {
  const size_t coordinates = place.size() - 1;
  bool in_order = true;
  for (size_t c = 0; c < coordinates; ++c) in_order &= place[c] == static_cast<Index>(c);
  if (in_order) return;
  std::vector<double> row(coordinates);
  for (size_t i = 0; i < r.trailing.size(); ++i) {
    double* values = r.values.data() + i * static_cast<size_t>(r.cols);
    for (size_t c = 0; c < coordinates; ++c) row[static_cast<size_t>(place[c])] = values[c];
    std::copy(row.begin(), row.end(), values);
  }
}

}  // namespace

RowsRead read_sample_rows(const std::string& fname, std::string_view text) {
  const std::string_view head = first_line(text);
  const char sep = field_separator(head);
  if (!sep || !is_column_header(head, sep)) return read_rows(fname, text);
  const std::vector<std::string> names = split_fields(head, sep);
  auto fail = [&](long line, const std::string& what) {
    return Error("file " + fname + ", line " + std::to_string(line) + ": " + what);
  };
  const ColumnHeader h = column_header(names);
  if (!h.problem.empty()) throw fail(1, h.problem);
  if (h.layout != FileKind::Rows)
    throw fail(1,
               "the header names a label column first, the layout of MorphoJ text, not of rows "
               "(x1 y1 ... xk yk and a trailing value)");
  if (sep == ';')
    throw fail(1,
               "the names are split by semicolons, but rows of numbers are split by blanks, tabs "
               "or commas: export the file with tabs or commas between the columns");
  RowsRead r = read_rows(fname, text, 2);
  if (r.trailing.empty()) throw Error("file " + fname + " holds a header line and no specimens");
  if (r.cols != static_cast<Index>(names.size()))
    throw fail(2, std::to_string(r.cols) + " numbers where the header on line 1 names " +
                      std::to_string(names.size()) +
                      " columns (x1 y1 ... xk yk and a trailing column)" +
                      (r.decimal_comma ? "; " + decimal_comma_advice() : ""));
  order_by_name(r, h.place);
  r.header_line = 1;
  return r;
}

}  // namespace tav
