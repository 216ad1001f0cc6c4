#include "display/display.h"
#include "display/line_children.h"
#include "platform/backend.h"

namespace tav {

void incrementsymbolsize(Handle h, double increment) {
  Objects& g = gr();
  for (Handle c : line_children(g, h)) g.set(c, "MarkerSize", g.get(c, "MarkerSize").scalar() + increment);
}

}  // namespace tav
