#include <cmath>
#include <string>

#include "shape_space/shape_space.h"

namespace tav {

Matrix unit_size_rows(const Matrix& x, Index k) {
  if (x.cols() < 2 * k)
    throw Error("shape space: rows of " + std::to_string(x.cols()) + " values cannot hold " +
                std::to_string(k) + " points");
  Matrix y(x.rows(), 2 * k);
  for (Index i = 0; i < x.rows(); ++i) {
    double cx = 0, cy = 0;
    for (Index p = 0; p < k; ++p) cx += x(i, 2 * p), cy += x(i, 2 * p + 1);
    cx /= static_cast<double>(k), cy /= static_cast<double>(k);
    double size2 = 0;
    for (Index p = 0; p < k; ++p) {
      y(i, 2 * p) = x(i, 2 * p) - cx;
      y(i, 2 * p + 1) = x(i, 2 * p + 1) - cy;
      size2 += y(i, 2 * p) * y(i, 2 * p) + y(i, 2 * p + 1) * y(i, 2 * p + 1);
    }
    if (!(size2 > 0) || !std::isfinite(size2))
      throw Error("shape space: the points of configuration " + std::to_string(i + 1) +
                  " all coincide (or are not numbers); it has no shape");
    y.row(i) /= std::sqrt(size2);
  }
  return y;
}

}  // namespace tav
