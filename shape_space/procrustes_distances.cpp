#include "shape_space/shape_space.h"

namespace tav {

Eigen::VectorXd procrustes_distances(const Matrix& x, const Row& mu) {
  return (x.rowwise() - mu).rowwise().norm();
}

}  // namespace tav
