#include "geometry/geometry.h"

namespace tav {

Eigen::RowVector2d centroid_of(const Row& x) {
  // An odd last number is the trailing value: only the first 2k numbers are coordinates.
  const Index k = x.size() / 2;
  double sx = 0, sy = 0;
  for (Index p = 0; p < k; ++p) {
    sx += x(2 * p);
    sy += x(2 * p + 1);
  }
  // A row without points has no centroid: 0/0 gives not-a-number in both coordinates.
  return Eigen::RowVector2d(sx, sy) / static_cast<double>(k);
}

}  // namespace tav
