#include <cmath>

#include "sliding/sliding.h"

namespace tav {

// U = r²·log r², continued by its limit 0 at r = 0.
double spline_kernel(const Eigen::RowVector2d& x1, const Eigen::RowVector2d& x2) {
  const double r2 = (x2 - x1).squaredNorm();
  return r2 != 0 ? r2 * std::log(r2) : 0.0;
}

}  // namespace tav
