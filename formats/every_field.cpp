#include <algorithm>

#include "formats/line_fields.h"

namespace tav {

bool every_field(std::string_view line, char sep,
                 const std::function<bool(const std::string&)>& holds) {
  for (size_t start = 0; start <= line.size();) {
    const size_t end = std::min(line.find(sep, start), line.size());
    if (!holds(trimmed(line.substr(start, end - start)))) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace tav
