#include "display/display.h"
#include "display/legend.h"

namespace tav {

void label_last_line(Objects& g, const std::string& name) {
  if (!g.drawing()) return;  // nothing was drawn to name
  const Handle ax = g.gca();
  const std::vector<Handle> kids = g.children(ax);
  if (kids.empty() || g.kind(kids.back()) != ObjectType::line) return;
  g.set(kids.back(), "DisplayName", Value(name));
  // The axes remember their labelled lines; those a clearing removed are dropped here.
  List kept;
  const Value old = g.appdata(ax, "LegendLines");
  if (old.is_list())
    for (const Value& h : old.list())
      if (g.valid(h.scalar()) && g.parent(h.scalar()) == ax) kept.push_back(h);
  kept.push_back(Value(kids.back()));
  g.set_appdata(ax, "LegendLines", Value(kept));
}

}  // namespace tav
