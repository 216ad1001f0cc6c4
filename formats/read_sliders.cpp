#include <algorithm>

#include "formats/foreign_text.h"
#include "formats/line_fields.h"
#include "formats/sliders.h"
#include "formats/tps_lines.h"
#include "platform/error.h"

namespace tav {
namespace {

// The point numbers of a row are split as the numbers of a row are, and by semicolons too (the
// separator spreadsheets write where the decimal separator is a comma).
bool is_point_separator(char c) { return is_field_separator(c) || c == ';'; }

std::vector<std::string> fields(const std::string& line) {
  return tokens(line, is_point_separator);
}

std::optional<Index> point(const std::string& field) {
  const auto v = foreign::number(field);
  if (!v || *v < 1 || *v > 1e9 || *v != static_cast<double>(static_cast<Index>(*v)))
    return std::nullopt;
  return static_cast<Index>(*v);
}

bool all_numbers(const std::vector<std::string>& f) {
  for (const std::string& s : f)
    if (!foreign::number(s)) return false;
  return true;
}

bool three_points(const std::vector<std::string>& f) {
  return f.size() == 3 && point(f[0]) && point(f[1]) && point(f[2]);
}

}  // namespace

bool is_sliders_table(const std::string& text) {
  // The first two non-blank lines tell; a long protocol is not split whole for them.
  size_t upto = 0;
  for (int nonblank = 0; nonblank < 2 && upto < text.size();) {
    const size_t end = std::min(text.find_first_of("\r\n", upto), text.size());
    if (std::any_of(text.begin() + static_cast<std::ptrdiff_t>(upto),
                    text.begin() + static_cast<std::ptrdiff_t>(end),
                    [](char c) { return !is_white_space(c); }))
      ++nonblank;
    upto = end + 1;
  }
  const std::vector<tps::Line> lines = tps::nonblank_lines(text.substr(0, upto));
  if (lines.empty()) return false;
  const std::vector<std::string> first = fields(lines.front().text);
  if (all_numbers(first)) return three_points(first);
  return lines.size() > 1 && first.size() == 3 && three_points(fields(lines[1].text));
}

std::vector<SliderRow> read_sliders(const std::string& fname, const std::string& text) {
  const std::vector<tps::Line> lines = tps::nonblank_lines(text);
  std::vector<SliderRow> rows;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> f = fields(lines[i].text);
    if (i == 0 && !all_numbers(f)) continue;  // the header of column names
    const std::string where = "file " + fname + ", line " + std::to_string(lines[i].number) + ": ";
    if (f.size() != 3)
      throw Error(where + "expected three point numbers (before, slider, after), found " +
                  std::to_string(f.size()) + " values");
    SliderRow r{lines[i].number, 0, 0, 0};
    Index* slots[] = {&r.before, &r.slider, &r.after};
    for (size_t c = 0; c < 3; ++c) {
      const auto p = point(f[c]);
      if (!p)
        throw Error(where + "expected a point number (a whole number from 1), found " +
                    foreign::shown(f[c]) + " in column " + std::to_string(c + 1));
      *slots[c] = *p;
    }
    rows.push_back(r);
  }
  if (rows.empty())
    throw Error("file " + fname + " holds no sliders (rows of before, slider, after)");
  return rows;
}

}  // namespace tav
