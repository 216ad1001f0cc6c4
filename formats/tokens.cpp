#include "formats/line_fields.h"

namespace tav {

std::vector<std::string> tokens(std::string_view line, bool (*is_separator)(char)) {
  std::vector<std::string> out;
  for (size_t pos = 0;;) {
    const std::string_view token = next_token(line, pos, is_separator);
    if (token.empty()) return out;
    out.emplace_back(token);
  }
}

}  // namespace tav
