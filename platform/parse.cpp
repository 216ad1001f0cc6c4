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
    if (end != token.c_str() + token.size() || token.empty())
      throw Error("value " + std::to_string(column) + " " + shown(token) + " is not a number");
    if (!std::isfinite(v))
      throw Error("value " + std::to_string(column) + " " + shown(token) +
                  " is not a finite number");
    if (errno == ERANGE && std::fabs(v) > 1)
      throw Error("value " + std::to_string(column) + " " + shown(token) +
                  " is beyond the range of a double");
    values.push_back(v);
    i = j;
  }
  Row r(static_cast<Index>(values.size()));
  for (size_t k = 0; k < values.size(); ++k) r(static_cast<Index>(k)) = values[k];
  return r;
}

}  // namespace tav
