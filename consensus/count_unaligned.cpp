#include <cmath>
#include <numbers>
#include <string>

#include "consensus/consensus.h"
#include "geometry/procrustes.h"

namespace tav {

int count_unaligned(const Matrix& x, const Matrix& xref, double degrees) {
  if (x.rows() == 0) return 0;
  const Index k = detail::specimen_points(x.cols(), "alignment check");
  const Matrix w = detail::normalised_stacked(x, k);
  if (xref.size() < 2 * k)
    throw Error("alignment check: the reference has " + std::to_string(xref.size()) +
                " numbers, but the specimens' " + std::to_string(k) + " points need " +
                std::to_string(2 * k) + "; load a reference that matches the data");
  // The reference centred like the specimens (a one-row sample with a dummy trailing value);
  // its size does not change the angle.
  Matrix ref_row = Matrix::Zero(1, 2 * k + 1);
  ref_row.leftCols(2 * k) = xref.reshaped().head(2 * k).transpose();
  Matrix ref;
  try {
    ref = detail::normalised_stacked(ref_row, k);
  } catch (const Error&) {
    throw Error(
        "alignment check: all points of the reference coincide; load a proper "
        "reference configuration");
  }
  const detail::TurnTarget target(ref.col(0));
  const double limit = degrees * std::numbers::pi / 180.0;
  int count = 0;
  for (Index i = 0; i < w.cols(); ++i) {
    const detail::Turn t = detail::best_turn(w.col(i).data(), target);
    if (std::abs(std::atan2(t.s, t.c)) > limit) ++count;
  }
  return count;
}

}  // namespace tav
