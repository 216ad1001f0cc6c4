#include <vector>

#include "geometry/geometry.h"
#include "geometry/procrustes.h"

namespace tav {

Matrix fit_onto(const Matrix& x, const Matrix& xref) {
  if (x.rows() == 0) return x;
  const Index k = detail::specimen_points(x.cols(), "Procrustes fit");
  const detail::TurnTarget target(detail::stacked_reference(xref, k));
  const Matrix w = detail::normalised_stacked(x, k);
  std::vector<detail::Turn> turns(static_cast<size_t>(w.cols()));
  for (Index i = 0; i < w.cols(); ++i)
    turns[static_cast<size_t>(i)] = detail::best_turn(w.col(i).data(), target);
  return detail::interleaved_rows(w, turns, x.col(2 * k));
}

}  // namespace tav
