#include "display/display.h"

namespace tav {
namespace {

// Every point of x in row order: row 1's points, then row 2's, ... (rows of coordinates)
void points_in_row_order(const Matrix& x, Index points, Matrix& px, Matrix& py) {
  px.resize(1, x.rows() * points), py.resize(1, x.rows() * points);
  Index t = 0;
  for (Index i = 0; i < x.rows(); ++i)
    for (Index j = 0; j < points; ++j, ++t) px(t) = x(i, 2 * j), py(t) = x(i, 2 * j + 1);
}

}  // namespace

int draw_configurations(Objects& g, const Matrix& x, const std::string& xform) {
  // The last column is the row's trailing value, never a coordinate: an odd width 2k+1 gives
  // k points, an even width 2k gives k-1.
  const Index points = x.cols() >= 3 ? (x.cols() - 1) / 2 : 0;
  // The style is read where there is something to draw in it, so a bad one is refused then.
  if (!g.drawing()) {
    if (points > 0 && x.rows() > 0) parse_linespec(xform);
    return 1;
  }
  const Handle ax = g.gca();
  g.hold(ax, true);  // earlier drawings stay; nothing here switches it off again
  if (points > 0 && x.rows() > 0) {
    const LineSpec style = parse_linespec(xform);
    const Value size(3.0);
    Matrix px, py;
    points_in_row_order(x, points, px, py);
    if (style.line_style == "none") {
      // Markers alone look the same drawn from one object: a sample is a handful of objects.
      g.set(g.line_from(ax, std::move(px), std::move(py), style), Prop::markersize, size);
    } else {
      for (Index t = 0; t < px.size(); ++t)
        g.set(g.line(ax, row({px(t)}), row({py(t)}), style), Prop::markersize, size);
    }
  }
  g.axis_auto(ax);
  g.axis_equal(ax);
  return 1;
}

}  // namespace tav
