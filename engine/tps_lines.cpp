#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "engine/tps_lines.h"
#include "platform/error.h"
#include "platform/parse.h"

namespace tav::tps {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && is_blank(s[b])) ++b;
  while (e > b && is_blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string shown(const std::string& token) {
  std::string s;
  for (unsigned char c : token.substr(0, 40)) s += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  return "\"" + s + (token.size() > 40 ? "...\"" : "\"");
}

std::vector<std::string> tokens(const std::string& text) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    if (is_blank(text[i])) { ++i; continue; }
    size_t j = i;
    while (j < text.size() && !is_blank(text[j])) ++j;
    out.push_back(text.substr(i, j - i));
    i = j;
  }
  return out;
}

}  // namespace

double parse_number(const std::string& token, const char* which) {
  const ParsedNumber n = parse_number_token(token);
  if (n.status == NumberRead::NotANumber) {
    std::string hint = token.find(',') != std::string::npos
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
  const std::vector<std::string> t = tokens(text);
  if (t.size() != 2)
    throw Error("a point line holds x and y, this one holds " + std::to_string(t.size()) +
                " values " + shown(text));
  return {parse_number(t[0], "x"), parse_number(t[1], "y")};
}

}  // namespace tav::tps
