#include <algorithm>
#include <cctype>
#include <functional>

#include "formats/column_header.h"
#include "formats/foreign_text.h"
#include "platform/parse.h"

namespace tav {

char field_separator(std::string_view line) {
  for (char c : {'\t', ';', ','})
    if (line.find(c) != std::string_view::npos) return c;
  return 0;
}

std::vector<std::string> split_fields(std::string_view line, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find(sep, start);
    if (end == std::string_view::npos) end = line.size();
    out.push_back(foreign::trimmed(line.substr(start, end - start)));
    start = end + 1;
  }
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

bool every_field(std::string_view line, char sep,
                 const std::function<bool(const std::string&)>& holds) {
  for (size_t start = 0; start <= line.size();) {
    const size_t end = std::min(line.find(sep, start), line.size());
    if (!holds(foreign::trimmed(line.substr(start, end - start)))) return false;
    start = end + 1;
  }
  return true;
}

bool is_column_header(std::string_view line, char sep) {
  bool letter = false;
  return every_field(line, sep,
                     [&](const std::string& f) {
                       letter |= std::any_of(f.begin(), f.end(),
                                             [](unsigned char c) { return std::isalpha(c); });
                       return parse_number_token(f).status == NumberRead::NotANumber;
                     }) &&
         letter;
}

}  // namespace tav
