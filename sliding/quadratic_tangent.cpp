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
                          double x0, double y0) {
  const Index w = xs.size();
  const double chx = xs(w - 1) - xs(0), chy = ys(w - 1) - ys(0);
  const double chord = std::sqrt(chx * chx + chy * chy);
  const double cx = chx / chord, cy = chy / chord;  // c; n = (-cy, cx)
  WindowMatrix a(w, 3);
  WindowVector b(w);
  for (Index j = 0; j < w; ++j) {
    const double dx = xs(j) - x0, dy = ys(j) - y0;
    const double u = dx * cx + dy * cy;
    a(j, 0) = u * u;
    a(j, 1) = u;
    a(j, 2) = 1.0;
    b(j) = cy * -dx + cx * dy;
  }
  // About P0 the slope at u = 0 is the linear coefficient itself.
  const Eigen::Matrix<double, 3, 1> p = a.colPivHouseholderQr().solve(b);
  const double inv = 1.0 / std::sqrt(1.0 + p(1) * p(1));
  return {(cx - p(1) * cy) * inv, (cy + p(1) * cx) * inv};
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

Tangent closed_quadratic_tangent(const CurveCoords& c, Index i) {
  // Padded positions i..i+4 (1-based) are 0-based i-1..i+3; the point itself is at i+1.
  return quadratic_tangent(c.xv.segment(i - 1, 5), c.yv.segment(i - 1, 5), c.xv(i + 1),
                           c.yv(i + 1));
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
  return quadratic_tangent(c.xv.segment(first - 1, count), c.yv.segment(first - 1, count),
                           c.xv(p - 1), c.yv(p - 1));
}

}  // namespace tav
