#include <cmath>
#include <string>

#include "geometry/geometry.h"

namespace tav {

namespace {

// A baseline point must be one of the k points of a row.
void check_baseline_point(Index b, Index k, const char* which) {
  if (b < 1 || b > k)
    throw Error(std::string("baseline registration: ") + which + " baseline point " +
                std::to_string(b) + " is outside points 1.." + std::to_string(k) +
                " of the configurations; choose a point number between 1 and " + std::to_string(k));
}

// Registers one row in place: b1 to the origin, b2 to (1, 0). i is 0-based, for the message.
void register_row(Eigen::Ref<Row, 0, Eigen::InnerStride<>> r, Index k, Index b1, Index b2,
                  Index i) {
  const double tx = r(2 * b1 - 2), ty = r(2 * b1 - 1);
  for (Index p = 0; p < k; ++p) {
    r(2 * p) -= tx;
    r(2 * p + 1) -= ty;
  }
  const double u2 = r(2 * b2 - 2), v2 = r(2 * b2 - 1);
  const double len = std::sqrt(v2 * v2 + u2 * u2);
  if (len == 0)
    throw Error("baseline registration: in configuration " + std::to_string(i + 1) +
                " baseline points " + std::to_string(b1) + " and " + std::to_string(b2) +
                " coincide, so the baseline has no length; choose two distinct points or "
                "correct this row");
  const double theta = -std::atan2(v2, u2);
  const double ct = std::cos(theta), st = std::sin(theta);
  for (Index p = 0; p < k; ++p) {
    // Both new coordinates come from the old ones: writing x first would turn y by the new x.
    const double u = r(2 * p) / len, v = r(2 * p + 1) / len;
    r(2 * p) = u * ct - v * st;
    r(2 * p + 1) = v * ct + u * st;
  }
  // An odd trailing value is neither scaled nor turned: it leaves as it came in.
}

}  // namespace

Matrix baseline_registration(const Matrix& x, Index b1, Index b2) {
  Matrix y = x;
  if (y.rows() == 0) return y;
  const Index k = x.cols() / 2;
  check_baseline_point(b1, k, "first");
  check_baseline_point(b2, k, "second");
  for (Index i = 0; i < y.rows(); ++i) register_row(y.row(i), k, b1, b2, i);
  return y;
}

}  // namespace tav
