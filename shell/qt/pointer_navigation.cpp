// The pointer in the drawing: the wheel zooms about the pointer, a drag pans, a double click fits
// the drawing; in the main window the point under the pointer is named in the status line and a
// click highlights its specimen. Nothing moves while an action runs.
#include <QLabel>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

#include "display/render.h"
#include "shell/qt/desktop_host.h"
#include "shell/qt/figure_properties.h"
#include "shell/qt/figure_window.h"

namespace tav {
namespace {

// The wheel zooms by this factor per notch; a click moves the pointer less than this.
constexpr double kZoomPerStep = 1.25;
constexpr double kDragPx = 4;
// How near the pointer a point must lie to be named or highlighted.
constexpr double kHoverRadiusPx = 6;

}  // namespace

bool FigureWindow::pointer_event(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove: {
      const auto* e = static_cast<QMouseEvent*>(event);
      pointer_moved(e->position(), e->buttons() & Qt::LeftButton);
      if (!status_text().isEmpty() && canvas_->underMouse() && !(e->buttons() & Qt::LeftButton))
        QToolTip::showText(e->globalPosition().toPoint(), status_text(), canvas_);
      return true;
    }
    case QEvent::MouseButtonPress: {
      const auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() == Qt::LeftButton) pointer_pressed(e->position());
      return true;
    }
    case QEvent::MouseButtonRelease: {
      const auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() == Qt::LeftButton) pointer_released(e->position());
      return true;
    }
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) fit_drawing();
      return true;
    case QEvent::Wheel: {
      auto* e = static_cast<QWheelEvent*>(event);
      wheel_turned(e->position(), e->angleDelta().y() / 120.0);
      e->accept();
      return true;
    }
    default: return false;
  }
}

Handle FigureWindow::axes_at(QPointF at, AxesBox* box) const {
  const double h = surface_->height();
  Handle found = -1;
  for (Handle a : gr_.children(fig_)) {  // the last drawn lies on top
    if (gr_.type(a) != "axes" || text_property(gr_, a, "Visible", "on") == "off") continue;
    const Row p = gr_.pixel_position(a);
    const AxesBox b = axes_box(gr_, a, p(0), h - p(1) - p(3), p(2), p(3));
    if (b.usable && at.x() >= b.left && at.x() <= b.left + b.width && at.y() >= b.top &&
        at.y() <= b.top + b.height) {
      found = a;
      if (box) *box = b;
    }
  }
  return found;
}

QPointF FigureWindow::surface_point(double x, double y) const {
  for (Handle a : gr_.children(fig_)) {
    if (gr_.type(a) != "axes") continue;
    const Row p = gr_.pixel_position(a);
    const AxesBox b = axes_box(gr_, a, p(0), surface_->height() - p(1) - p(3), p(2), p(3));
    return {b.left + (x - b.x0) * b.pixels_per_unit_x(),
            b.top + b.height - (y - b.y0) * b.pixels_per_unit_y()};
  }
  return {};
}

void FigureWindow::wheel_turned(QPointF at, double steps) {
  AxesBox b;
  const Handle ax = axes_at(at, &b);
  if (ax < 0 || steps == 0 || (desktop_ && desktop_->busy())) return;
  const double f = std::pow(kZoomPerStep, -steps);  // the share of the range that stays
  const double cx = b.data_x(at.x()), cy = b.data_y(at.y());
  gr_.axis(ax, row({cx - (cx - b.x0) * f, cx + (b.x1 - cx) * f, cy - (cy - b.y0) * f,
                    cy + (b.y1 - cy) * f}));
  sync();
}

void FigureWindow::pointer_pressed(QPointF at) {
  pressed_axes_ = axes_at(at, nullptr);
  pressed_at_ = at;
  dragged_ = false;
  if (pressed_axes_ >= 0) pressed_limits_ = gr_.axis(pressed_axes_);
}

void FigureWindow::pointer_moved(QPointF at, bool button_down) {
  if (button_down && pressed_axes_ >= 0 && gr_.valid(pressed_axes_) &&
      !(desktop_ && desktop_->busy())) {
    const QPointF d = at - pressed_at_;
    if (!dragged_ && std::hypot(d.x(), d.y()) < kDragPx) return;
    dragged_ = true;
    gr_.axis(pressed_axes_, pressed_limits_);
    AxesBox b;
    const Row p = gr_.pixel_position(pressed_axes_);
    b = axes_box(gr_, pressed_axes_, p(0), surface_->height() - p(1) - p(3), p(2), p(3));
    const double dx = d.x() / b.pixels_per_unit_x(), dy = d.y() / b.pixels_per_unit_y();
    gr_.axis(pressed_axes_, pressed_limits_ + row({-dx, -dx, dy, dy}));
    sync();
    return;
  }
  QString text;
  AxesBox b;
  if (desktop_ && !desktop_->busy() && axes_at(at, &b) >= 0)
    text = QString::fromStdString(desktop_->describe_point_at(
        b.data_x(at.x()), b.data_y(at.y()), kHoverRadiusPx / b.pixels_per_unit_x(),
        kHoverRadiusPx / b.pixels_per_unit_y()));
  hover_text_ = text;
  if (status_ && text_property(gr_, fig_, "StatusText").empty()) status_->setText(idle_status());
}

void FigureWindow::pointer_released(QPointF at) {
  const bool click = pressed_axes_ >= 0 && !dragged_;
  pressed_axes_ = -1;
  AxesBox b;
  if (!click || !desktop_ || desktop_->busy() || axes_at(at, &b) < 0) return;
  desktop_->highlight_at(b.data_x(at.x()), b.data_y(at.y()), kHoverRadiusPx / b.pixels_per_unit_x(),
                         kHoverRadiusPx / b.pixels_per_unit_y());
  sync();
}

void FigureWindow::fit_drawing() {
  if (desktop_ && desktop_->busy()) return;
  for (Handle a : gr_.children(fig_)) {
    if (gr_.type(a) != "axes") continue;
    gr_.axis_auto(a);
    gr_.axis_equal(a);
  }
  sync();
}

}  // namespace tav
