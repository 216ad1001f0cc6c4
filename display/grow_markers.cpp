#include "display/display.h"
#include "display/line_children.h"

namespace tav {

namespace {
constexpr double kSmallestMarker = 3;  // points: smaller marks cannot be seen
}

void grow_markers(Objects& g, Handle h, double increment) {
  for (Handle c : line_children(g, h)) {
    const double size = g.get(c, "MarkerSize").scalar() + increment;
    if (size >= kSmallestMarker) g.set(c, "MarkerSize", size);
  }
}

}  // namespace tav
