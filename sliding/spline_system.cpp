#include <string>

#include "sliding/sliding.h"

namespace tav {

// L = [K Q; Q' 0]: K(i,j) = U(|Pi - Pj|) (zero diagonal), Q row i = [1 xi yi].
Matrix spline_system(const Matrix& x) {
  if (x.rows() != 2)
    throw Error("thin-plate spline: the point matrix must have 2 rows (x and y), not " +
                std::to_string(x.rows()));
  const Index n = x.cols();
  Matrix y = Matrix::Zero(n + 3, n + 3);
  for (Index i = 0; i < n; ++i) {
    const Eigen::RowVector2d pi = x.col(i).transpose();
    for (Index j = i + 1; j < n; ++j) {
      const double u = spline_kernel(pi, x.col(j).transpose());
      y(i, j) = u;
      y(j, i) = u;
    }
    y(i, n) = 1;
    y(i, n + 1) = x(0, i);
    y(i, n + 2) = x(1, i);
  }
  y.bottomLeftCorner(3, n) = y.topRightCorner(n, 3).transpose();
  return y;
}

}  // namespace tav
