#include <algorithm>

#include "formats/foreign_text.h"
#include "formats/line_fields.h"
#include "formats/protocol.h"
#include "formats/tps_lines.h"
#include "platform/parse.h"

namespace tav {
namespace {

// What splits the values of a row the check reads: white space, commas and semicolons.
bool is_value_separator(char c) { return is_white_space(c) || c == ',' || c == ';'; }

std::vector<std::string> values(const std::string& line) {
  return tokens(line, is_value_separator);
}

bool names_only(const std::vector<std::string>& f) {
  return std::all_of(f.begin(), f.end(), [](const std::string& s) {
    return parse_number_token(s).status == NumberRead::NotANumber;
  });
}

std::string count_text(size_t n) { return std::to_string(n) + (n == 1 ? " value" : " values"); }

// What is wrong with one row of the table, or "" for nothing; width: the rows' count so far.
std::string row_fault(const std::vector<std::string>& f, size_t width, long width_line) {
  for (size_t c = 0; c < f.size(); ++c)
    if (!foreign::number(f[c]))
      return "found " + foreign::shown(f[c]) + " in column " + std::to_string(c + 1) +
             ", which is not a number";
  if (f.size() < 3) return "found " + count_text(f.size());
  if (width && f.size() != width)
    return "found " + count_text(f.size()) + " where line " + std::to_string(width_line) +
           " holds " + std::to_string(width);
  return "";
}

}  // namespace

std::string protocol_row_forms() {
  return "a curve-protocol row holds four whole numbers (curve code: 0 for the landmarks, "
         "negative for closed curves, positive for open curves; 0; point number; type: 0 "
         "landmark, 1 semi-landmark, 2 helper) and a sliders row three point numbers (before, "
         "slider, after)";
}

std::optional<std::string> protocol_row_problem(const std::string& fname, const std::string& text) {
  const std::vector<tps::Line> lines = tps::nonblank_lines(text);
  auto at = [&](long line, const std::string& what) {
    return "file " + fname + ", line " + std::to_string(line) + ": " + what + "; " +
           protocol_row_forms();
  };
  const bool header = !lines.empty() && names_only(values(lines.front().text));
  size_t width = 0;
  long width_line = 0;
  for (size_t i = header ? 1 : 0; i < lines.size(); ++i) {
    const std::vector<std::string> f = values(lines[i].text);
    if (const std::string fault = row_fault(f, width, width_line); !fault.empty())
      return at(lines[i].number, fault);
    if (width) continue;
    width = f.size(), width_line = lines[i].number;
    if (header && width != 3)
      return at(lines.front().number,
                "found a line of names, " + foreign::shown(lines.front().text) +
                    ", above rows of " + std::to_string(width) +
                    " numbers; only a sliders table may begin with a line of names");
  }
  return std::nullopt;
}

}  // namespace tav
