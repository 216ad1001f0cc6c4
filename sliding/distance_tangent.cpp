#include <string>

#include "sliding/tangent_rules.h"

namespace tav {

Index distance_curve_points(const Row& target, const char* routine) {
  if (target.size() % 2 != 0)
    throw Error(std::string(routine) + ": a curve row holds x y pairs, but this one has " +
                std::to_string(target.size()) + " numbers");
  const Index k = target.size() / 2;
  if (k < 3)
    throw Error(std::string(routine) + ": a curve of " + std::to_string(k) +
                " points is too short; sliding needs at least 3 points");
  return k;
}

Tangent distance_tangent(const Eigen::Ref<const Row>& target, Index k, bool cloop, Index i) {
  const auto x = [&](Index p) { return target(2 * p - 2); };  // p: 1-based point
  const auto y = [&](Index p) { return target(2 * p - 1); };
  if (!cloop && i == 1) return end_point_tangent(x(1), y(1), x(2), y(2), x(3), y(3));
  if (!cloop && i == k)
    return end_point_tangent(x(k), y(k), x(k - 1), y(k - 1), x(k - 2), y(k - 2));
  // Chord between the neighbours: interior chords point backwards along the curve, the
  // wrapped chords at the two ends of a closed curve forwards.
  if (i == 1) return chord_tangent(x(2), y(2), x(k), y(k));
  if (i == k) return chord_tangent(x(1), y(1), x(k - 1), y(k - 1));
  return chord_tangent(x(i - 1), y(i - 1), x(i + 1), y(i + 1));
}

void distance_slide_step(const Eigen::Ref<const Row>& reference,
                         const Eigen::Ref<const Row>& target, bool closedend, Eigen::Ref<Row> y,
                         const char* held) {
  const Index k = target.size() / 2;
  y = target;
  // A closed curve keeps its first and last listed points where they are.
  const Index first = closedend ? 2 : 1, last = closedend ? k - 1 : k;
  for (Index p = first; p <= last; ++p) {
    if (held != nullptr && held[p - 1]) continue;
    const Tangent u = distance_tangent(target, k, closedend, p);
    const Index ix = 2 * p - 2, iy = 2 * p - 1;
    // Signed distance along the tangent to the foot of the perpendicular from the reference
    // point; the step goes half of it.
    const double t = u.x * (reference(ix) - target(ix)) + u.y * (reference(iy) - target(iy));
    y(ix) += 0.5 * t * u.x;
    y(iy) += 0.5 * t * u.y;
  }
}

}  // namespace tav
