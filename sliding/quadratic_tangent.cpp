#include <cmath>
#include <string>

#include "sliding/tangent_rules.h"

namespace tav {

namespace {
// At most six rows (the longest window), so the fit never touches the heap.
using WindowMatrix = Eigen::Matrix<double, Eigen::Dynamic, 3, 0, 6, 3>;
using WindowVector = Eigen::Matrix<double, Eigen::Dynamic, 1, 0, 6, 1>;
}  // namespace

Tangent quadratic_tangent(const Eigen::Ref<const Row>& xs, const Eigen::Ref<const Row>& ys,
                          double x0, double dx) {
  const Index w = xs.size();
  WindowMatrix a(w, 3);
  WindowVector b(w);
  for (Index j = 0; j < w; ++j) {
    const double t = xs(j) - x0;
    a(j, 0) = t * t;
    a(j, 1) = t;
    a(j, 2) = 1.0;
    b(j) = ys(j);
  }
  // In the shifted abscissa the slope at x0 is the linear coefficient itself.
  const Eigen::Matrix<double, 3, 1> p = a.colPivHouseholderQr().solve(b);
  const double dy = dx * p(1);
  const double magd = std::sqrt(dx * dx + dy * dy);
  return {dx / magd, dy / magd};
}

CurveCoords curve_coords(const Row& target, bool cloop, Index min_open, const char* routine) {
  const Index n = target.size();
  if (n % 2 != 0)
    throw Error(std::string(routine) + ": a curve row holds x y pairs, but this one has " +
                std::to_string(n) + " numbers");
  const Index k = n / 2;
  const Index need = cloop ? 3 : min_open;
  if (k < need)
    throw Error(std::string(routine) + ": " + (cloop ? "a closed" : "an open") + " curve of " +
                std::to_string(k) + " points is too short; its tangents need at least " +
                std::to_string(need) + " points");
  CurveCoords c;
  c.k = k;
  c.closed = cloop;
  const Index pad = cloop ? 2 : 0;
  c.xv.resize(k + 2 * pad);
  c.yv.resize(k + 2 * pad);
  for (Index pos = 0; pos < k + 2 * pad; ++pos) {
    const Index p = ((pos - pad) % k + k) % k;  // 0-based point at this padded position
    c.xv(pos) = target(2 * p);
    c.yv(pos) = target(2 * p + 1);
  }
  return c;
}

Tangent closed_quadratic_tangent(const CurveCoords& c, Index i, double step) {
  // Padded positions i..i+4 (1-based) are 0-based i-1..i+3; the point itself is at i+1.
  const double x0 = c.xv(i + 1);
  const double dx = step > 0 ? step : c.xv(i + 2) - x0;
  return quadratic_tangent(c.xv.segment(i - 1, 5), c.yv.segment(i - 1, 5), x0, dx);
}

Tangent open_quadratic_tangent(const CurveCoords& c, Index p) {
  const Index k = c.k;
  Index first = p - 2, count = 5;  // 1-based first point of the window
  if (p <= 2) {
    first = 1;
  } else if (p >= k - 1) {
    first = k - 5;
    count = 6;
  }
  const double x0 = c.xv(p - 1);
  // The last point has no successor: it takes the step of the point before it.
  const double dx = p < k ? c.xv(p) - x0 : x0 - c.xv(p - 2);
  return quadratic_tangent(c.xv.segment(first - 1, count), c.yv.segment(first - 1, count), x0,
                           dx);
}

}  // namespace tav
