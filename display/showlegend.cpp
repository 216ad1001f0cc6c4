#include "display/legend.h"

namespace tav {

void showlegend(Objects& g, bool on) {
  const Value state(on ? "on" : "off");
  for (Handle f : g.children(0))
    if (g.type(f) == "figure")
      for (Handle a : g.children(f))
        if (g.type(a) == "axes") g.set(a, "Legend", state);
  g.set_appdata(0, "Legend", state);
}

}  // namespace tav
