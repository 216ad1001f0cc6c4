#include "geometry/geometry.h"
#include "geometry/procrustes.h"

namespace tav {

Matrix getpsup(const Matrix& x, const Matrix& xref) {
  if (x.rows() == 0) return x;
  const Index k = detail::specimen_points(x.cols(), "Procrustes fit");
  const Eigen::VectorXd ref = detail::stacked_reference(xref, k);
  Matrix w = detail::stacked_columns(x, k);
  detail::centre_and_scale(w);
  for (Index i = 0; i < w.cols(); ++i)
    detail::apply_turn(w.col(i), detail::best_turn(w.col(i), ref));
  return detail::interleaved_rows(w, x.col(2 * k));
}

}  // namespace tav
