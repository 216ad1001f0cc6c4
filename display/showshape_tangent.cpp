#include "display/display.h"
#include "platform/backend.h"
#include "sliding/sliding.h"

namespace tav {
namespace {

constexpr double kHalfLength = 0.01;  // segments are 0.02 long, centred on their point

// The interleaved columns (x1 y1 x2 y2 ...) of a curve's members in a configuration row.
Row curve_row(const Row& x, const std::vector<int>& members, int curve) {
  Row out(2 * static_cast<Index>(members.size()));
  for (size_t m = 0; m < members.size(); ++m) {
    const int p = members[m];
    if (p < 1 || 2 * static_cast<Index>(p) > x.size())
      throw Error("tangent plot, curve " + std::to_string(curve) + ": point " + std::to_string(p) +
                  " is not in the configuration, which has " +
                  std::to_string((x.size() - 1) / 2) + " points; load the protocol that belongs to this sample");
    out(2 * static_cast<Index>(m)) = x(2 * p - 2);
    out(2 * static_cast<Index>(m) + 1) = x(2 * p - 1);
  }
  return out;
}

void draw_tangents(const Row& x, const std::vector<int>& members, int j) {
  const Row c = curve_row(x, members, j);
  const Matrix umat = umaker(c, j < 0) * kHalfLength;  // column m: unit tangent at member m
  const Index kmax = static_cast<Index>(members.size());
  if (!drawing()) return;
  Objects& g = gr();
  const Handle ax = g.gca();
  for (Index k = 1; k <= kmax; ++k) {
    const double xn = c(2 * k - 2), yn = c(2 * k - 1);
    const double ux = at(umat, k, k), uy = at(umat, kmax + k, k);
    g.line(ax, row({xn - ux, xn + ux}), row({yn - uy, yn + uy}), "b:");
  }
}

}  // namespace

void showshape_tangent(const Row& x, const CurveProtocol& p) {
  for (int j = p.numfull; j <= p.numopen; ++j)
    if (j != 0) draw_tangents(x, p.members_of(j), j);  // the landmark set has no tangents
}

}  // namespace tav
