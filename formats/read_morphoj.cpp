// MorphoJ row/column text: one specimen per line, its label and then its coordinates, the fields
// split by tabs, semicolons or commas (the first of these the first line holds; blanks around a
// field are not part of it). A first line of column names says which column holds which
// coordinate and which the centroid size (column_header); without one, the columns after the
// label are x1 y1 x2 y2 ... in turn.
#include "formats/column_header.h"
#include "formats/foreign_text.h"
#include "formats/formats.h"
#include "formats/line_fields.h"
#include "formats/tps_lines.h"
#include "platform/error.h"

namespace tav {
namespace {

using tps::Line;

// Where each column of a line goes in the configuration row x1 y1 ... xk yk t.
struct Columns {
  size_t width = 0;         // fields per line, the label's included
  Index points = 0;         // k
  std::vector<Index> slot;  // per column: 0 .. 2k-1 a coordinate, 2k the trailing value, -1 none
  long header = 0;          // the header's line; 0 without one
  bool sized = false;       // the file gives the centroid size (else it is computed)
};

Error failure(const std::string& fname, long line, const std::string& what) {
  return Error("file " + fname + ", line " + std::to_string(line) + ": " + what);
}

Columns named_columns(const std::string& fname, const Line& line,
                      const std::vector<std::string>& names, std::vector<std::string>& warnings) {
  const ColumnHeader h = column_header(names);
  if (!h.problem.empty()) throw failure(fname, line.number, h.problem);
  if (h.layout != FileKind::MorphoJ)
    throw failure(fname, line.number,
                  "the header names the coordinates and then a trailing column, the layout of "
                  "the program's rows, not MorphoJ text (a label column first)");
  Columns c{names.size(), h.points, h.place, line.number, h.size_column >= 0};
  if (c.sized) c.slot[static_cast<size_t>(h.size_column)] = 2 * h.points;
  for (Index log : h.log_columns)
    warnings.push_back("file " + fname + ", line " + std::to_string(line.number) + ": column " +
                       std::to_string(log + 1) + " " + foreign::shown(names[log]) +
                       " was not read: it holds the logarithm of the centroid size, which column " +
                       std::to_string(h.size_column + 1) + " " +
                       foreign::shown(names[h.size_column]) + " gives as the trailing value");
  return c;
}

// Without a header: the label, then x1 y1 x2 y2 ... as many as the first specimen's line holds.
Columns columns_in_turn(const std::string& fname, const Line& line,
                        const std::vector<std::string>& f, const std::string& sep_name) {
  if (f.size() < 3 || (f.size() - 1) % 2 != 0)
    throw failure(fname, line.number,
                  "expected a label and x and y of every point (an even count of coordinates, "
                  "split by " +
                      sep_name + "), found " + std::to_string(f.size() - 1) +
                      " values after the label");
  Columns c{f.size(), static_cast<Index>((f.size() - 1) / 2), {-1}, 0, false};
  for (Index p = 0; p + 1 < static_cast<Index>(f.size()); ++p) c.slot.push_back(p);
  return c;
}

void check_width(const std::string& fname, const Columns& c, const std::vector<Line>& lines,
                 size_t first, size_t i, size_t found, const std::string& sep_name) {
  if (found == c.width) return;
  const bool all_coordinates = c.width - 1 == static_cast<size_t>(2 * c.points);
  const std::string expected =
      "expected a label and " + std::to_string(c.width - 1) +
      (all_coordinates ? " coordinates" : " values") +
      (i == first && c.header ? " as the header on line " + std::to_string(c.header) + " names"
                              : " as on line " + std::to_string(lines[first].number));
  throw failure(fname, lines[i].number,
                expected + ", found " + std::to_string(found ? found - 1 : 0) +
                    " values after the label (split by " + sep_name + ")");
}

Row configuration(const std::string& fname, const Columns& c, const Line& line,
                  const std::vector<std::string>& f) {
  Row r = Row::Zero(2 * c.points + 1);
  for (size_t col = 1; col < c.width; ++col) {
    if (c.slot[col] < 0) continue;
    const auto v = foreign::number(f[col]);
    if (!v) {
      const std::string hint =
          f[col].find(',') != std::string::npos ? "; write decimals with a point" : "";
      throw failure(fname, line.number,
                    "value " + std::to_string(col) + " of specimen " + foreign::shown(f[0]) + ": " +
                        foreign::shown(f[col]) + " is not a number" + hint);
    }
    r(c.slot[col]) = *v;
  }
  return r;
}

}  // namespace

ForeignSample read_morphoj(const std::string& fname) {
  return read_morphoj(fname, foreign::file_text(fname));
}

ForeignSample read_morphoj(const std::string& fname, const std::string& text) {
  const std::vector<Line> lines = tps::nonblank_lines(text);
  if (lines.empty()) throw Error("file " + fname + " holds no specimens");
  const char sep = field_separator(lines.front().text);
  if (!sep)
    throw failure(fname, lines.front().number,
                  "expected fields split by tabs, semicolons or commas (blanks are not enough)");
  const std::string sep_name = sep == '\t' ? "tabs" : sep == ';' ? "semicolons" : "commas";
  ForeignSample s;
  const std::vector<std::string> head = split_fields(lines.front().text, sep);
  const bool header = is_column_header(lines.front().text, sep);
  const size_t first = header ? 1 : 0;
  if (first >= lines.size()) throw Error("file " + fname + " holds a header line and no specimens");
  const Columns c = header ? named_columns(fname, lines.front(), head, s.warnings)
                           : columns_in_turn(fname, lines.front(), head, sep_name);
  std::vector<Row> rows;
  for (size_t i = first; i < lines.size(); ++i) {
    const std::vector<std::string> f = split_fields(lines[i].text, sep);
    check_width(fname, c, lines, first, i, f.size(), sep_name);
    rows.push_back(configuration(fname, c, lines[i], f));
    s.ids.push_back(f[0]);
  }
  const Index m = 2 * c.points + 1;
  s.x.resize(static_cast<Index>(rows.size()), m);
  for (size_t i = 0; i < rows.size(); ++i) s.x.row(static_cast<Index>(i)) = rows[i];
  if (!c.sized) s.x.col(m - 1) = foreign::centroid_sizes(s.x).transpose();
  return s;
}

}  // namespace tav
