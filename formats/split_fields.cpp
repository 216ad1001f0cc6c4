#include "formats/line_fields.h"

namespace tav {

std::vector<std::string> split_fields(std::string_view line, char sep) {
  std::vector<std::string> out;
  every_field(line, sep, [&](const std::string& field) {
    out.push_back(field);
    return true;
  });
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

}  // namespace tav
