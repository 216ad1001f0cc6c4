#include <string>

#include "shape_space/shape_space.h"
#include "sliding/sliding.h"

namespace tav {

// The spline's coefficients solve [K Q; Q' 0] [w; a] = [to; 0]: it passes through every
// point of `to` and bends as little as a spline through them can.
ThinPlateSpline::ThinPlateSpline(const Row& from, const Row& to) : from_(point_matrix(from)) {
  const Index k = from_.cols();
  if (to.size() < 2 * k)
    throw Error("deformation grid: the target has " + std::to_string(to.size() / 2) +
                " points and the consensus " + std::to_string(k));
  if (k < 3)
    throw Error("deformation grid: a thin-plate spline needs at least 3 points, not " +
                std::to_string(k));
  Matrix rhs = Matrix::Zero(k + 3, 2);
  rhs.topRows(k) = point_matrix(to.head(2 * k)).transpose();
  const Eigen::FullPivLU<Matrix> lu(spline_system(from_));
  if (!lu.isInvertible())
    throw Error("deformation grid: no thin-plate spline passes through the " + std::to_string(k) +
                " points of the consensus (they lie on one line or two of them coincide)");
  coefficient_ = lu.solve(rhs);
}

Eigen::RowVector2d ThinPlateSpline::at(const Eigen::RowVector2d& p) const {
  const Index k = from_.cols();
  Eigen::RowVector2d f =
      coefficient_.row(k) + p(0) * coefficient_.row(k + 1) + p(1) * coefficient_.row(k + 2);
  for (Index i = 0; i < k; ++i)
    f += spline_kernel(p, from_.col(i).transpose()) * coefficient_.row(i);
  return f;
}

}  // namespace tav
