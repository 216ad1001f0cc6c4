#include "platform/parse.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace tav {
namespace {
bool is_separator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; }

std::string shown(const std::string& token) {
  std::string s;
  for (unsigned char c : token.substr(0, 40)) s += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  return "\"" + s + (token.size() > 40 ? "...\"" : "\"");
}
// Position of the first byte that no text file holds (a control character or a NUL), or npos.
size_t not_text(const std::string& token) {
  for (size_t i = 0; i < token.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(token[i]);
    if (c < 32 || c == 127) return i;
  }
  return std::string::npos;
}

std::string hex_byte(char c) {
  static const char* digits = "0123456789ABCDEF";
  const unsigned char b = static_cast<unsigned char>(c);
  return std::string("0x") + digits[b >> 4] + digits[b & 15];
}
}  // namespace

Row parse_numbers(const std::string& line) {
  std::vector<double> values;
  size_t i = 0;
  while (i < line.size()) {
    if (is_separator(line[i])) { ++i; continue; }
    size_t j = i;
    while (j < line.size() && !is_separator(line[j])) ++j;
    const std::string token = line.substr(i, j - i);
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(token.c_str(), &end);
    const size_t column = values.size() + 1;
    const size_t byte = not_text(token);
    if (byte != std::string::npos)
      throw Error("value " + std::to_string(column) + " " + shown(token) + " holds the byte " +
                  hex_byte(token[byte]) + ", which is not text; the file must be plain text, "
                  "one configuration per line");
    if (end != token.c_str() + token.size() || token.empty())
      throw Error("value " + std::to_string(column) + " " + shown(token) + " is not a number");
    // Overflow first: strtod gives an infinity for it, which is not the user's mistake.
    if (errno == ERANGE && std::fabs(v) > 1)
      throw Error("value " + std::to_string(column) + " " + shown(token) +
                  " is beyond the range of a double");
    if (!std::isfinite(v))
      throw Error("value " + std::to_string(column) + " " + shown(token) +
                  " is not a finite number");
    values.push_back(v);
    i = j;
  }
  Row r(static_cast<Index>(values.size()));
  for (size_t k = 0; k < values.size(); ++k) r(static_cast<Index>(k)) = values[k];
  return r;
}

}  // namespace tav
