#include "display/display.h"
#include "platform/backend.h"

namespace tav {

int showshape(const Matrix& x, const std::string& xform) {
  Objects& g = gr();
  const Handle ax = g.gca();
  g.hold(ax, true);  // earlier drawings stay; nothing here switches it off again
  // The last column is the row's trailing value, never a coordinate: an odd width 2k+1 gives
  // k points, an even width 2k gives k-1.
  const Index points = x.cols() >= 3 ? (x.cols() - 1) / 2 : 0;
  for (Index i = 0; i < x.rows(); ++i) {
    for (Index j = 0; j < points; ++j) {
      const Handle h = g.line(ax, row({x(i, 2 * j)}), row({x(i, 2 * j + 1)}), xform);
      g.set(h, "MarkerSize", 3.0);
    }
  }
  g.axis_auto(ax);
  g.axis_equal(ax);
  return 1;
}

}  // namespace tav
