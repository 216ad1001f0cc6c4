#include <cmath>
#include <numbers>
#include <string>

#include "consensus/consensus.h"
#include "consensus/normalise_rows.h"

namespace tav {

namespace {
// Angle (radians, -pi..pi) of the rotation that best turns the centred row `spec` onto the
// centred row `ref` (both x1 y1 ... xk yk; no mirroring).
double best_turn(const Eigen::Ref<const Row>& spec, const Row& ref, Index k) {
  double ct = 0, st = 0;
  for (Index p = 0; p < k; ++p) {
    const double X = spec(2 * p), Y = spec(2 * p + 1), rx = ref(2 * p), ry = ref(2 * p + 1);
    ct += rx * X + ry * Y;
    st += X * ry - Y * rx;
  }
  return std::atan2(st, ct);
}
}  // namespace

int count_unaligned(const Matrix& x, const Matrix& xref, double degrees) {
  const Matrix xs = normalise_rows(x);
  const Index k = xs.cols() / 2;
  if (xref.size() < 2 * k)
    throw Error("the reference has " + std::to_string(xref.size()) + " numbers, but the " +
                std::to_string(k) + " points of the specimens need " + std::to_string(2 * k));
  // The reference as a one-row sample with a dummy trailing value, centred like the specimens.
  Matrix ref_row(1, 2 * k + 1);
  ref_row << xref.reshaped().head(2 * k).transpose(), 0.0;
  Row ref;
  try {
    ref = normalise_rows(ref_row).row(0);
  } catch (const Error&) {
    throw Error("the reference's points all coincide or hold values that are not numbers: "
                "load a proper reference configuration");
  }
  const double limit = degrees * std::numbers::pi / 180.0;
  int count = 0;
  for (Index i = 0; i < xs.rows(); ++i)
    if (std::abs(best_turn(xs.row(i), ref, k)) > limit) ++count;
  return count;
}

}  // namespace tav
