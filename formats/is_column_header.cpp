#include <algorithm>
#include <cctype>

#include "formats/column_header.h"
#include "formats/line_fields.h"

namespace tav {

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
