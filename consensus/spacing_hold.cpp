#include "consensus/spacing_hold.h"

#include <algorithm>
#include <cmath>

#include "consensus/curve_walk.h"
#include "geometry/geometry.h"

namespace tav {
namespace {

constexpr std::array<Index, 2> kWholeChange{-1, -1};

// The chord of member s of a curve listing `members` (1-based points), 0-based.
std::array<Index, 2> chord_of(const std::vector<int>& members, std::size_t s, bool closed) {
  const std::size_t q = members.size();
  std::size_t before = s, after = s;
  if (closed) {
    before = (s + q - 1) % q;
    after = (s + 1) % q;
  } else {
    if (s > 0) before = s - 1;
    if (s + 1 < q) after = s + 1;
  }
  return {Index{members[before]} - 1, Index{members[after]} - 1};
}

}  // namespace

SpacingHold spacing_hold(const CurveProtocol& p, Index k) {
  SpacingHold hold;
  hold.chord.assign(static_cast<std::size_t>(k), kWholeChange);
  const std::vector<char> landmark = landmark_points(p, k);
  std::vector<char> placed(static_cast<std::size_t>(k), 0);
  for (int j = p.numfull; j <= p.numopen; ++j) {
    if (j == 0 || !p.has_code(j)) continue;
    const std::vector<int>& members = p.members_of(j);
    const auto in_range = [k](int pt) { return pt >= 1 && pt <= k; };
    if (members.size() < 2 || !std::all_of(members.begin(), members.end(), in_range)) continue;
    for (std::size_t s = 0; s < members.size(); ++s) {
      const std::size_t at = static_cast<std::size_t>(members[s] - 1);
      if (placed[at] || landmark[at + 1]) continue;
      placed[at] = 1;
      hold.chord[at] = chord_of(members, s, j < 0);
    }
  }
  return hold;
}

Row hold_spacing(const SpacingHold& hold, const Row& reference, const Row& proposed) {
  const Index k = static_cast<Index>(hold.chord.size());
  Row held = proposed;
  for (Index q = 0; q < k; ++q) {
    const std::array<Index, 2>& c = hold.chord[static_cast<std::size_t>(q)];
    if (c[0] < 0) continue;
    const double tx = reference(2 * c[1]) - reference(2 * c[0]);
    const double ty = reference(2 * c[1] + 1) - reference(2 * c[0] + 1);
    const double length = std::hypot(tx, ty);
    if (!(length > 0)) continue;
    // The unit normal to the chord, and the change's part along it.
    const double nx = -ty / length, ny = tx / length;
    const double dx = proposed(2 * q) - reference(2 * q);
    const double dy = proposed(2 * q + 1) - reference(2 * q + 1);
    const double across = dx * nx + dy * ny;
    held(2 * q) = reference(2 * q) + across * nx;
    held(2 * q + 1) = reference(2 * q + 1) + across * ny;
  }
  const Eigen::RowVector2d centre = centroid_of(held);
  for (Index q = 0; q < k; ++q) held(2 * q) -= centre(0), held(2 * q + 1) -= centre(1);
  const double size = held.head(2 * k).norm();
  if (size > 0) held.head(2 * k) /= size;
  return held;
}

}  // namespace tav
