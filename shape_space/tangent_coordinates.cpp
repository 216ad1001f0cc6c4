#include "shape_space/shape_space.h"

namespace tav {

// The projection removes each configuration's component along mu and puts mu back, so that
// the shape variables lie in the plane that touches the shape space at mu.
Matrix tangent_coordinates(const Matrix& x, const Row& mu) {
  const Eigen::VectorXd along = x * mu.transpose();
  Matrix t = x - along * mu;
  t.rowwise() += mu;
  return t;
}

}  // namespace tav
