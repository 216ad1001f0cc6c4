#include "formats/foreign_text.h"

namespace tav::foreign {

std::string written_label(const std::vector<std::string>& ids, Index i, const LabelRules& rules) {
  const size_t n = static_cast<size_t>(i);
  std::string l = n < ids.size() ? trimmed(ids[n]) : std::string();
  if (l.empty()) return std::to_string(i + 1);
  for (char& c : l)
    if (c == '\n' || c == '\r' || rules.never.find(c) != std::string_view::npos) c = '_';
  if (rules.never_first.find(l.front()) != std::string_view::npos) l.front() = '_';
  return l;
}

}  // namespace tav::foreign
