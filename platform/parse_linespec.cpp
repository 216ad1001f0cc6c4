// Line specifications such as "b*", "ko", "k:": colour letter, marker and line style.
#include <string>

#include "platform/objects.h"

namespace tav {

Eigen::RowVector3d color_of_letter(char c) {
  switch (c) {
    case 'b': return {0, 0, 1};
    case 'g': return {0, 0.5, 0};
    case 'r': return {1, 0, 0};
    case 'c': return {0, 0.75, 0.75};
    case 'm': return {0.75, 0, 0.75};
    case 'y': return {0.85, 0.75, 0};
    case 'k': return {0, 0, 0};
    case 'w': return {1, 1, 1};
    default: throw Error(std::string("unknown colour letter '") + c + "'");
  }
}

LineSpec parse_linespec(const std::string& spec) {
  LineSpec ls;
  bool has_marker = false, has_line = false;
  for (size_t i = 0; i < spec.size(); ++i) {
    const char c = spec[i];
    if (std::string("bgrcmykw").find(c) != std::string::npos) {
      ls.color = color_of_letter(c);
    } else if (std::string(".o*+xsd^v<>ph").find(c) != std::string::npos) {
      ls.marker = std::string(1, c);
      has_marker = true;
    } else if (c == '-' || c == ':') {
      if (c == '-' && i + 1 < spec.size() && (spec[i + 1] == '-' || spec[i + 1] == '.')) {
        ls.line_style = spec.substr(i, 2);
        ++i;
      } else {
        ls.line_style = std::string(1, c);
      }
      has_line = true;
    } else {
      throw Error("\"" + spec +
                  "\" is not a line specification (colour letter, marker or line style)");
    }
  }
  // assign, not = "-": GCC 12 warns falsely (-Wrestrict) on the literal once inlined here.
  if (!has_marker && !has_line) ls.line_style.assign(1, '-');
  return ls;
}

}  // namespace tav
