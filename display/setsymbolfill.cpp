#include "display/display.h"
#include "display/line_children.h"
#include "platform/backend.h"

namespace tav {

void setsymbolfill(Handle h, double isfilled) {
  Objects& g = gr();
  for (Handle c : line_children(g, h))
    g.set(c, "MarkerFaceColor", isfilled == 0 ? Value("none") : g.get(c, "Color"));  // own colour
}

}  // namespace tav
