// The figure window as the window system sees it: its title, colour and pointer shape; its place
// and size given from the model's Position and, when the user moves or resizes it, given back;
// a close asked for; files dropped on it.
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "shell/qt/desktop_host.h"
#include "shell/qt/figure_properties.h"
#include "shell/qt/figure_window.h"

namespace tav {
namespace {

constexpr int kTitleBarPx = 32;  // room left above the window for its frame

}  // namespace

void FigureWindow::sync_geometry() {
  const Value name = gr_.get(fig_, "Name");
  setWindowTitle(name.is_text() && !name.text().empty()
                     ? QString::fromStdString(name.text())
                     : QStringLiteral("Figure %1").arg(static_cast<int>(fig_)));
  if (const auto color = color_property(gr_, fig_, "Color")) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, *color);
    setPalette(pal);
  }
  if (text_property(gr_, fig_, "Pointer") == "watch")
    setCursor(Qt::WaitCursor);
  else
    unsetCursor();

  const Row pos = gr_.pixel_position(fig_);
  if (applied_pos_.size() != pos.size() || applied_pos_ != pos) {
    applying_ = true;
    // The window holds the figure and the menus, log and status line; on a screen too small
    // for all of it the window fits the screen and its surface scrolls.
    const QSize extra = chrome();
    const Row screen = gr_.get(0, "screensize").matrix();
    const int w = std::min(static_cast<int>(std::lround(pos(2))) + extra.width(),
                           static_cast<int>(screen(2)));
    const int h = std::min(static_cast<int>(std::lround(pos(3))) + extra.height(),
                           static_cast<int>(screen(3)) - kTitleBarPx);
    const int top =
        static_cast<int>(std::lround(screen_height(gr_) - pos(1) - pos(3))) - extra.height();
    setGeometry(
        std::clamp(static_cast<int>(std::lround(pos(0))), 0,
                   std::max(0, static_cast<int>(screen(2)) - w)),
        std::clamp(top, kTitleBarPx, std::max(kTitleBarPx, static_cast<int>(screen(3)) - h)), w, h);
    applying_ = false;
    applied_pos_ = pos;
  }
}

void FigureWindow::closeEvent(QCloseEvent* event) {
  // The backend removes the figure from the model (now, or after a running action); the window
  // goes when the model no longer has it.
  event->ignore();
  if (desktop_) desktop_->remember_window(*this);
  on_close_(fig_);
}

void FigureWindow::surface_resized() {
  // Also while the model's size is being applied: the platform may give the window another
  // size (a small screen), and the model must then follow what is shown.
  if (!gr_.valid(fig_)) return;
  const Row pos = gr_.pixel_position(fig_);
  const double dw = surface_->width() - pos(2), dh = surface_->height() - pos(3);
  if (dw != 0 || dh != 0) return follow_resize(dw, dh);
  // The model has this size already (the window was opened at it): the drawing still takes the
  // surface's room, which it did not have before the window was laid out.
  widgets_.at(fig_)->setGeometry(surface_->rect());
  place_panel();
  widgets_.at(fig_)->update();
}

void FigureWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void FigureWindow::dropEvent(QDropEvent* event) {
  drop_files(event->mimeData()->urls());
  event->acceptProposedAction();
}

void FigureWindow::drop_files(const QList<QUrl>& urls) {
  if (!desktop_) return;
  for (const QUrl& url : urls)
    if (url.isLocalFile()) desktop_->open_path(url.toLocalFile());
}

void FigureWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!applying_ && gr_.valid(fig_)) store_outer_corner();
}

void FigureWindow::store_outer_corner() {
  Row pos = gr_.pixel_position(fig_);
  const Row moved = row({static_cast<double>(x()),
                         screen_height(gr_) - y() - chrome().height() - pos(3), pos(2), pos(3)});
  if (moved == pos) return;
  const Value units = gr_.get(fig_, "Units");
  gr_.set(fig_, "Units", Value("pixels"));
  gr_.set(fig_, "Position", Value(moved));
  gr_.set(fig_, "Units", units);
  applied_pos_ = moved;
}

void FigureWindow::follow_resize(double dw, double dh) {
  // Axes laid out in fixed units keep their margins and take the new room; read them before
  // the figure's size changes, since the model keeps axes relative to it.
  std::vector<std::pair<Handle, Row>> axes;
  for (Handle h : gr_.children(fig_))
    if (gr_.type(h) == "axes" && !is_normalized(gr_, h))
      axes.emplace_back(h, gr_.pixel_position(h));

  const Value units = gr_.get(fig_, "Units");
  gr_.set(fig_, "Units", Value("pixels"));
  gr_.set(fig_, "Position",
          Value(row({static_cast<double>(x()),
                     screen_height(gr_) - y() - chrome().height() - surface_->height(),
                     static_cast<double>(surface_->width()),
                     static_cast<double>(surface_->height())})));
  gr_.set(fig_, "Units", units);
  applied_pos_ = gr_.pixel_position(fig_);

  auto set_pixels = [this](Handle h, const Row& p) {
    const Value u = gr_.get(h, "Units");
    gr_.set(h, "Units", Value("pixels"));
    gr_.set(h, "Position", Value(p));
    gr_.set(h, "Units", u);
  };
  for (const auto& [h, p] : axes)
    set_pixels(h, row({p(0), p(1), std::max(10.0, p(2) + dw), std::max(10.0, p(3) + dh)}));
  for (Handle h : gr_.listing(fig_)) {
    const std::string type = gr_.type(h);
    if ((type != "uicontrol" && type != "uipanel") || is_normalized(gr_, h)) continue;
    Row p = gr_.pixel_position(h);
    p(1) += dh;
    set_pixels(h, p);
  }
  sync();
}

}  // namespace tav
