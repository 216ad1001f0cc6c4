#include <string>

#include "sliding/sliding.h"
#include "sliding/tangent_rules.h"

namespace tav {

Row damped_distance_step(const Row& reference, const Row& target, bool closedend) {
  distance_curve_points(target, "tavreldist");
  if (reference.size() < target.size())
    throw Error("tavreldist: the reference curve has " + std::to_string(reference.size()) +
                " coordinates, fewer than the " + std::to_string(target.size()) +
                " of the curve it slides");
  Row y(target.size());
  distance_slide_step(reference, target, closedend, y);
  return y;
}

}  // namespace tav
