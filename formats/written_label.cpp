#include "formats/foreign_text.h"
#include "formats/line_fields.h"

namespace tav::foreign {

std::string written_label(const std::vector<std::string>& ids, Index i, const LabelRules& rules) {
  const size_t n = static_cast<size_t>(i);
  std::string l = n < ids.size() ? trimmed(ids[n]) : std::string();
  if (l.empty()) return std::to_string(i + 1);
  for (char& c : l)
    if (is_line_end(c) || rules.never.find(c) != std::string_view::npos) c = '_';
  if (rules.never_first.find(l.front()) != std::string_view::npos) l.front() = '_';
  return l;
}

}  // namespace tav::foreign
