#include "display/display.h"
#include "display/export_placement.h"
#include "display/render.h"
#include "platform/backend.h"

namespace tav {

void copy_drawing_to_clipboard(Objects& g, Backend& ui) {
  const Handle fig = g.gcf(), ax = g.gca();
  const Row view = g.axis(ax);
  Row t = view;
  const double trrx = t(1) - t(0), trry = t(3) - t(2);
  t += row({-0.03 * trrx, 0.03 * trrx, -0.03 * trry, 0.03 * trry});  // a margin round the drawing
  ExportPlacement placement(g, fig, ax);
  g.axis(ax, t);
  g.axis_equal(ax);
  try {
    const FigureImages images = render_figure_images(g, fig);
    ui.to_clipboard(images.svg, images.png);
  } catch (const Error& e) {
    ui.message(e.what());
  }
  placement.restore();
  g.axis(ax, view);  // the view as it was, zoomed or not
  g.axis_equal(ax);
}

}  // namespace tav
