#include "display/display.h"
#include "display/line_children.h"

namespace tav {

void setsymbolfill(Objects& g, Handle h, double isfilled) {
  for (Handle c : line_children(g, h))
    g.set(c, "MarkerFaceColor", isfilled == 0 ? Value("none") : g.get(c, "Color"));  // own colour
}

}  // namespace tav
