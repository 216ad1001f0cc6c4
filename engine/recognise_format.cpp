#include <cctype>

#include "engine/input.h"

namespace tav {

FileFormat recognise_format(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  auto upper = [&](size_t j) { return j < text.size() ? std::toupper(static_cast<unsigned char>(text[j])) : 0; };
  if (upper(i) != 'L' || upper(i + 1) != 'M') return FileFormat::Rows;
  size_t j = i + 2;
  if (j < text.size() && text[j] == '3') ++j;
  while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
  return j < text.size() && text[j] == '=' ? FileFormat::Tps : FileFormat::Rows;
}

}  // namespace tav
