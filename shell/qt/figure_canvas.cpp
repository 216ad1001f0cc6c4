#include "shell/qt/figure_canvas.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cairo.h>

#include "display/render.h"
#include "platform/console.h"
#include "shell/qt/figure_properties.h"

namespace tav {

FigureCanvas::FigureCanvas(const Objects& objects, Handle fig, QWidget* parent)
    : QWidget(parent), gr_(objects), fig_(fig) {}

void FigureCanvas::paintEvent(QPaintEvent*) {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(color_property(gr_, fig_, "Color").value_or(QColor(240, 240, 240)));
  cairo_surface_t* surface =
      cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_ARGB32, image.width(),
                                          image.height(), static_cast<int>(image.bytesPerLine()));
  cairo_t* cr = cairo_create(surface);
  try {
    for (Handle h : gr_.children(fig_)) {
      if (gr_.type(h) != "axes" || text_property(gr_, h, "Visible", "on") == "off") continue;
      const Row p = gr_.pixel_position(h);
      render_axes(cr, gr_, h, p(0), height() - p(1) - p(3), p(2), p(3));
    }
  } catch (const std::exception& e) {
    // A drawing the renderer cannot paint must not take the window down with it.
    if (e.what() != last_failure_) console_write(std::string(e.what()) + "\n");
    last_failure_ = e.what();
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  QPainter(this).drawImage(0, 0, image);
}

}  // namespace tav
