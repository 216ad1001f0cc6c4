// MorphoJ row/column text: one specimen per line, its label and then x1 y1 x2 y2 ..., the
// fields split by tabs, semicolons or commas (the first of these the first line holds; blanks
// around a field are not part of it). A first line with a field after the label that is not a
// number is a header of column names and is not read.
#include "engine/foreign_text.h"
#include "engine/formats.h"
#include "engine/tps_lines.h"
#include "platform/error.h"

namespace tav {
namespace {

using foreign::trimmed;
using tps::Line;

char separator(const std::string& line) {
  for (char c : {'\t', ';', ','})
    if (line.find(c) != std::string::npos) return c;
  return 0;
}

// The fields of a line; empty fields at its end (a spreadsheet's trailing separators) dropped.
std::vector<std::string> fields(const std::string& line, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find(sep, start);
    if (end == std::string::npos) end = line.size();
    out.push_back(trimmed(line.substr(start, end - start)));
    start = end + 1;
  }
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

bool header(const std::vector<std::string>& f) {
  for (size_t i = 1; i < f.size(); ++i)
    if (!foreign::number(f[i])) return true;
  return false;
}

}  // namespace

ForeignSample read_morphoj(const std::string& fname) {
  return read_morphoj(fname, foreign::file_text(fname));
}

ForeignSample read_morphoj(const std::string& fname, const std::string& text) {
  std::vector<Line> lines = tps::nonblank_lines(text);
  auto fail = [&](long line, const std::string& what) {
    return Error("file " + fname + ", line " + std::to_string(line) + ": " + what);
  };
  if (lines.empty()) throw Error("file " + fname + " holds no specimens");
  const char sep = separator(lines.front().text);
  if (!sep)
    throw fail(lines.front().number,
               "expected fields split by tabs, semicolons or commas (blanks are not enough)");
  const std::string sep_name = sep == '\t' ? "tabs" : sep == ';' ? "semicolons" : "commas";
  const size_t first = header(fields(lines.front().text, sep)) ? 1 : 0;
  if (first >= lines.size()) throw Error("file " + fname + " holds a header line and no specimens");
  ForeignSample s;
  std::vector<Row> rows;
  size_t width = 0;
  for (size_t i = first; i < lines.size(); ++i) {
    const Line& l = lines[i];
    const std::vector<std::string> f = fields(l.text, sep);
    if (i == first) {
      width = f.size();
      if (width < 3 || (width - 1) % 2 != 0)
        throw fail(l.number,
                   "expected a label and x and y of every point (an even count of coordinates, "
                   "split by " +
                       sep_name + "), found " + std::to_string(f.size() - 1) +
                       " values after the label");
    } else if (f.size() != width) {
      throw fail(l.number, "expected a label and " + std::to_string(width - 1) +
                               " coordinates as on line " + std::to_string(lines[first].number) +
                               ", found " + std::to_string(f.size() - 1) +
                               " values after the label (split by " + sep_name + ")");
    }
    Row r(static_cast<Index>(width));
    for (size_t c = 1; c < width; ++c) {
      const auto v = foreign::number(f[c]);
      if (!v) {
        const std::string hint =
            f[c].find(',') != std::string::npos ? "; write decimals with a point" : "";
        throw fail(l.number, "value " + std::to_string(c) + " of specimen " + foreign::shown(f[0]) +
                                 ": " + foreign::shown(f[c]) + " is not a number" + hint);
      }
      r(static_cast<Index>(c) - 1) = *v;
    }
    s.ids.push_back(f[0]);
    rows.push_back(std::move(r));
  }
  const Index m = static_cast<Index>(width);
  s.x.resize(static_cast<Index>(rows.size()), m);
  for (size_t i = 0; i < rows.size(); ++i) s.x.row(static_cast<Index>(i)) = rows[i];
  s.x.col(m - 1) = foreign::centroid_sizes(s.x).transpose();
  return s;
}

}  // namespace tav
