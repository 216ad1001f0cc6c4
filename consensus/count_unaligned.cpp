#include <cmath>
#include <numbers>

#include "consensus/consensus.h"
#include "geometry/procrustes.h"

namespace tav {

int count_unaligned(const Matrix& x, const Matrix& xref, double degrees) {
  if (x.rows() == 0) return 0;
  const Index k = detail::specimen_points(x.cols(), "alignment check");
  Matrix w = detail::stacked_columns(x, k);
  detail::centre_and_scale(w);
  Matrix ref = detail::stacked_reference(xref, k);
  try {
    detail::centre_and_scale(ref);
  } catch (const Error&) {
    throw Error("alignment check: all points of the reference coincide; load a proper "
                "reference configuration");
  }
  const double limit = degrees * std::numbers::pi / 180.0;
  int count = 0;
  for (Index i = 0; i < w.cols(); ++i) {
    const detail::Turn t = detail::best_turn(w.col(i), ref.col(0));
    if (std::abs(std::atan2(t.s, t.c)) > limit) ++count;
  }
  return count;
}

}  // namespace tav
