#include "formats/line_fields.h"

namespace tav {

std::vector<std::string> words(std::string_view line) { return tokens(line, is_white_space); }

}  // namespace tav
