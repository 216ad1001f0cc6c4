#include <cmath>
#include <string>

#include "sliding/sliding.h"
#include "sliding/tangent_rules.h"

namespace tav {

Tangent end_point_tangent(double x1, double y1, double x2, double y2, double x3, double y3) {
  // u1: unit direction to the neighbour; u2: u1 turned a quarter turn anticlockwise.
  double u1x = x2 - x1, u1y = y2 - y1;
  const double l1 = std::sqrt(u1x * u1x + u1y * u1y);
  u1x /= l1;
  u1y /= l1;
  const double u2x = -u1y, u2y = u1x;
  // s1: unit direction to the next point, reflected in u1 by negating its u2 part.
  double s1x = x3 - x1, s1y = y3 - y1;
  const double se = std::sqrt(s1x * s1x + s1y * s1y);
  s1x /= se;
  s1y /= se;
  const double s1dotu1 = s1x * u1x + s1y * u1y;
  const double s1dotu2 = s1x * u2x + s1y * u2y;
  return {s1dotu1 * u1x - s1dotu2 * u2x, s1dotu1 * u1y - s1dotu2 * u2y};
}

Tangent end_tangent(const Row& data) {
  if (data.size() != 6)
    throw Error("slope_est needs the six coordinates x1 y1 x2 y2 x3 y3 of three points, not " +
                std::to_string(data.size()) + " numbers");
  return end_point_tangent(data(0), data(1), data(2), data(3), data(4), data(5));
}

}  // namespace tav
