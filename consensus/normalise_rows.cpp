#include "consensus/normalise_rows.h"

#include <cmath>
#include <string>

namespace tav {

Matrix normalise_rows(const Matrix& x) {
  if (x.rows() == 0) throw Error("the sample holds no specimens: load a data file first");
  if (x.cols() % 2 == 0)
    throw Error("a specimen row holds x y pairs and one trailing value, an odd count, but these "
                "rows have " + std::to_string(x.cols()) + " columns");
  const Index k = x.cols() / 2;
  Matrix y = x;
  for (Index i = 0; i < y.rows(); ++i) {
    double cx = 0, cy = 0;
    for (Index p = 0; p < k; ++p) cx += y(i, 2 * p), cy += y(i, 2 * p + 1);
    cx /= double(k);
    cy /= double(k);
    double ss = 0;
    for (Index p = 0; p < k; ++p) {
      y(i, 2 * p) -= cx;
      y(i, 2 * p + 1) -= cy;
      ss += y(i, 2 * p) * y(i, 2 * p) + y(i, 2 * p + 1) * y(i, 2 * p + 1);
    }
    const double size = std::sqrt(ss);
    if (!(size > 0) || !std::isfinite(size))
      throw Error("specimen " + std::to_string(i + 1) + " has centroid size " +
                  std::to_string(size) + " (all its points coincide or a coordinate is not a "
                  "number), so it cannot be scaled: correct or remove it");
    y.row(i).head(2 * k) /= size;
  }
  return y;
}

}  // namespace tav
