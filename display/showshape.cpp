#include "display/display.h"

namespace tav {

int showshape(Objects& g, const Matrix& x, const std::string& xform) {
  // The last column is the row's trailing value, never a coordinate: an odd width 2k+1 gives
  // k points, an even width 2k gives k-1.
  const Index points = x.cols() >= 3 ? (x.cols() - 1) / 2 : 0;
  // The style is read where there is something to draw in it, so a bad one is refused then.
  if (!drawing()) {
    if (points > 0 && x.rows() > 0) parse_linespec(xform);
    return 1;
  }
  const Handle ax = g.gca();
  g.hold(ax, true);  // earlier drawings stay; nothing here switches it off again
  const LineSpec style = points > 0 && x.rows() > 0 ? parse_linespec(xform) : LineSpec{};
  const Value size(3.0);
  Row px(1), py(1);
  for (Index i = 0; i < x.rows(); ++i) {
    for (Index j = 0; j < points; ++j) {
      px(0) = x(i, 2 * j), py(0) = x(i, 2 * j + 1);
      g.set(g.line(ax, px, py, style), Prop::markersize, size);
    }
  }
  g.axis_auto(ax);
  g.axis_equal(ax);
  return 1;
}

}  // namespace tav
