#include "formats/line_fields.h"

namespace tav {

std::string trimmed(std::string_view s) {
  while (!s.empty() && is_white_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_white_space(s.back())) s.remove_suffix(1);
  return std::string(s);
}

}  // namespace tav
