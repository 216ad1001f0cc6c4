#include "formats/line_fields.h"

namespace tav {

char field_separator(std::string_view line) {
  for (char c : {'\t', ';', ','})
    if (line.find(c) != std::string_view::npos) return c;
  return 0;
}

}  // namespace tav
