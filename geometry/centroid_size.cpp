#include <cmath>

#include "geometry/geometry.h"

namespace tav {

namespace {
// Root of the summed squared distances of the row's k points from their centroid.
double row_centroid_size(const Row& r) {
  const Eigen::RowVector2d cp = centroid_of(r);
  const Index k = r.size() / 2;
  double sum = 0;
  for (Index p = 0; p < k; ++p) {
    const double dx = r(2 * p) - cp(0), dy = r(2 * p + 1) - cp(1);
    sum += dx * dx;
    sum += dy * dy;
  }
  return std::sqrt(sum);
}
}  // namespace

Eigen::VectorXd centroid_size(const Matrix& x) {
  Eigen::VectorXd out(x.rows());
  for (Index i = 0; i < x.rows(); ++i) out(i) = row_centroid_size(x.row(i));
  return out;
}

}  // namespace tav
