#include <algorithm>

#include "display/legend.h"

namespace tav {

std::vector<std::pair<std::string, Handle>> legend_entries(const Objects& g, Handle axes) {
  std::vector<std::pair<std::string, Handle>> out;
  const Value lines = g.appdata(axes, "LegendLines");
  if (!lines.is_list()) return out;
  for (const Value& v : lines.list()) {
    const Handle h = v.scalar();
    if (!g.valid(h) || g.parent(h) != axes) continue;
    const Value name = g.get(h, "DisplayName");
    if (!name.is_text() || name.text().empty()) continue;
    if (std::none_of(out.begin(), out.end(), [&](const auto& e) { return e.first == name.text(); }))
      out.emplace_back(name.text(), h);
  }
  return out;
}

}  // namespace tav
