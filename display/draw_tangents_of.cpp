#include <cmath>
#include <set>

#include "display/display.h"
#include "sliding/sliding.h"

namespace tav {
namespace {

// Each segment, centred on its point, is this share of the mean spacing of the curve's
// members long on either side: long enough to see, too short to reach the neighbours' own.
constexpr double kHalfShareOfSpacing = 0.45;
constexpr double kTangentWidthPt = 1.5;
const Row kTangentColor = row({0.85, 0.37, 0.0});  // orange: none of the point markers' colours

// The interleaved columns (x1 y1 x2 y2 ...) of a curve's members in a configuration row.
Row curve_row(const Row& x, const std::vector<int>& members, int curve) {
  Row out(2 * static_cast<Index>(members.size()));
  for (size_t m = 0; m < members.size(); ++m) {
    const int p = members[m];
    if (p < 1 || 2 * static_cast<Index>(p) > x.size())
      throw Error("tangent plot, curve " + std::to_string(curve) + ": point " + std::to_string(p) +
                  " is not in the configuration, which has " + std::to_string((x.size() - 1) / 2) +
                  " points; load the protocol that belongs to this sample");
    out(2 * static_cast<Index>(m)) = x(2 * p - 2);
    out(2 * static_cast<Index>(m) + 1) = x(2 * p - 1);
  }
  return out;
}

// Mean distance between neighbouring members in curve order (a closed curve wraps).
double mean_spacing(const Row& c, bool closed) {
  const Index k = c.size() / 2;
  double sum = 0;
  Index gaps = 0;
  for (Index m = 0; m + 1 < k + (closed ? 1 : 0); ++m, ++gaps) {
    const Index n = (m + 1) % k;
    sum += std::hypot(c(2 * n) - c(2 * m), c(2 * n + 1) - c(2 * m + 1));
  }
  return gaps > 0 ? sum / static_cast<double>(gaps) : 0;
}

// The points some row of the protocol types as landmarks: they never slide, so they get no
// tangent, also where a curve lists them.
std::set<int> held_points(const CurveProtocol& p) {
  std::set<int> held;
  for (int j = p.numfull; j <= p.numopen; ++j) {
    if (!p.has_code(j)) continue;
    const std::vector<int>& members = p.members_of(j);
    const std::vector<double>& types = p.types_of(j);
    for (size_t m = 0; m < members.size() && m < types.size(); ++m)
      if (types[m] == 0) held.insert(members[m]);
  }
  return held;
}

void draw_tangents(Objects& g, const Row& x, const std::vector<int>& members, int j,
                   const std::set<int>& held) {
  const Row c = curve_row(x, members, j);
  const double half = kHalfShareOfSpacing * mean_spacing(c, j < 0);
  const Matrix umat =
      quadratic_tangent_basis(c, j < 0) * half;  // column m: tangent at member m, half a segment
  const Index kmax = static_cast<Index>(members.size());
  if (!g.drawing()) return;
  const Handle ax = g.gca();
  for (Index k = 1; k <= kmax; ++k) {
    if (held.count(members[static_cast<size_t>(k - 1)])) continue;
    const double xn = c(2 * k - 2), yn = c(2 * k - 1);
    const double ux = at(umat, k, k), uy = at(umat, kmax + k, k);
    const Handle h = g.line(ax, row({xn - ux, xn + ux}), row({yn - uy, yn + uy}), "b-");
    g.set(h, "Color", Value(kTangentColor));
    g.set(h, "LineWidth", Value(kTangentWidthPt));
  }
}

}  // namespace

void draw_tangents_of(Objects& g, const Row& x, const CurveProtocol& p) {
  const std::set<int> held = held_points(p);
  for (int j = p.numfull; j <= p.numopen; ++j)
    if (j != 0) draw_tangents(g, x, p.members_of(j), j, held);  // the landmark set has none
}

}  // namespace tav
