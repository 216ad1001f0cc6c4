#include "platform/parse.h"

namespace tav {

std::string_view next_token(std::string_view text, size_t& pos, bool (*is_separator)(char)) {
  while (pos < text.size() && is_separator(text[pos])) ++pos;
  const size_t start = pos;
  while (pos < text.size() && !is_separator(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

}  // namespace tav
