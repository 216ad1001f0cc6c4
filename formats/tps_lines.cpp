#include "formats/tps_lines.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "formats/foreign_text.h"
#include "formats/line_fields.h"
#include "platform/error.h"
#include "platform/parse.h"

namespace tav::tps {

using foreign::shown;

double parse_number(const std::string& token, const char* which) {
  const ParsedNumber n = parse_number_token(token);
  if (n.status == NumberRead::NotANumber) {
    std::string hint =
        token.find(',') != std::string::npos
            ? "; write decimals with a point, not a comma, and separate x and y by a blank or a tab"
            : "";
    throw Error(std::string(which) + " " + shown(token) + " is not a number" + hint);
  }
  if (n.status != NumberRead::Ok)
    throw Error(std::string(which) + " " + shown(token) + " is not a finite number");
  return n.value;
}

std::vector<Line> nonblank_lines(const std::string& text) {
  std::vector<Line> out;
  long number = 0;
  size_t start = 0;
  // A UTF-8 byte order mark some editors put first is not part of the first line.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  // LF, CR LF and a lone CR each end one line.
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    ++number;
    std::string t = trimmed(text.substr(start, end - start));
    if (!t.empty()) out.push_back({number, std::move(t)});
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return out;
}

std::optional<KeyLine> key_line(const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos) return std::nullopt;
  const std::string key = trimmed(text.substr(0, eq));
  if (key.empty() || !std::isalpha(static_cast<unsigned char>(key[0]))) return std::nullopt;
  KeyLine k;
  for (unsigned char c : key) {
    if (!std::isalnum(c) && c != '_') return std::nullopt;
    k.key += static_cast<char>(std::toupper(c));
  }
  k.value = trimmed(text.substr(eq + 1));
  return k;
}

Eigen::RowVector2d point_line(const std::string& text) {
  const std::vector<std::string> t = words(text);
  if (t.size() != 2)
    throw Error("a point line holds x and y, this one holds " + std::to_string(t.size()) +
                " values " + shown(text));
  return {parse_number(t[0], "x"), parse_number(t[1], "y")};
}

}  // namespace tav::tps
