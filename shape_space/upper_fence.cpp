#include <algorithm>
#include <cmath>
#include <vector>

#include "shape_space/shape_space.h"

namespace tav {
namespace {

// The p-quantile of sorted values, interpolated linearly between neighbours.
double quantile(const std::vector<double>& sorted, double p) {
  const double h = p * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<size_t>(std::floor(h));
  const size_t above = std::min(below + 1, sorted.size() - 1);
  return sorted[below] + (h - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

}  // namespace

OutlierFence upper_fence(const Eigen::VectorXd& values) {
  if (values.size() == 0) return {};
  std::vector<double> sorted(values.begin(), values.end());
  std::sort(sorted.begin(), sorted.end());
  OutlierFence f;
  f.q1 = quantile(sorted, 0.25);
  f.q3 = quantile(sorted, 0.75);
  f.fence = f.q3 + 1.5 * (f.q3 - f.q1);
  return f;
}

}  // namespace tav
