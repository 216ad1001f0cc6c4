#include "display/display.h"
#include "display/line_children.h"

namespace tav {

void fill_markers(Objects& g, Handle h, bool isfilled) {
  for (Handle c : line_children(g, h))
    g.set(c, "MarkerFaceColor", isfilled ? g.get(c, "Color") : Value("none"));  // own colour
}

}  // namespace tav
