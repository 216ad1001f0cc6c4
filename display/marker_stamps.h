#pragma once
// Painting many equal markers into an image quickly: one marker drawn beforehand is copied to
// every point instead of building and stroking a path per marker.
#include <cairo.h>
#include <functional>

#include "platform/matrix.h"

namespace tav {

// Points in data units and the map to cairo user space: ux = ox + sx * x, uy = oy + sy * y.
struct MarkerPoints {
  const double* x = nullptr;
  const double* y = nullptr;
  Index n = 0;
  double sx = 1, ox = 0, sy = 1, oy = 0;
};

// Paints a marker at every finite point into cr's image, each laid over what is there as cairo
// paints it, the marker's centre placed to an eighth of a pixel. draw_one(c, x, y) draws one marker
// centred at (x, y) of c's user space, in cr's user units and with cr's line settings; reach
// is the marker's half extent in user units, its edge included. Returns false, painting
// nothing, when cr does not paint straight into an image of 32-bit pixels or turns or shears:
// the caller then draws each marker itself. The clip is taken as its bounding box (pixels cut
// by its edge left out), so cr must clip to axis-parallel rectangles only. any_order: the
// marker has one colour, so markers laid over each other give the same picture in any order
// (to rounding), and they are laid region by region of the image, which is faster; otherwise
// in the order of the points.
bool stamp_markers(cairo_t* cr, const MarkerPoints& points, double reach, bool any_order,
                   const std::function<void(cairo_t*, double, double)>& draw_one);

}  // namespace tav
