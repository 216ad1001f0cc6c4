#include "shell/qt/figure_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cairo.h>
#include <cmath>

#include "display/render.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/format.h"
#include "shell/qt/desktop_menus.h"
#include "shell/qt/qt_backend.h"

namespace tav {
namespace {

std::string text_property(const Objects& gr, Handle h, const char* name,
                          const std::string& fallback = "") {
  const Value v = gr.get(h, name);
  return v.is_text() ? v.text() : fallback;
}

// A control's "String": a text (line breaks kept) or a list of lines.
QString string_of(const Objects& gr, Handle h) {
  const Value v = gr.get(h, "String");
  if (v.is_text()) return QString::fromStdString(v.text());
  QStringList lines;
  if (v.is_list())
    for (const Value& item : v.list())
      if (item.is_text()) lines << QString::fromStdString(item.text());
  return lines.join('\n');
}

// An [r g b] colour with parts from 0 to 1, or none.
std::optional<QColor> color_property(const Objects& gr, Handle h, const char* name) {
  const Value v = gr.get(h, name);
  if (!v.is_matrix() || v.matrix().size() != 3) return std::nullopt;
  const Matrix& m = v.matrix();
  return QColor::fromRgbF(static_cast<float>(m.data()[0]), static_cast<float>(m.data()[1]),
                          static_cast<float>(m.data()[2]));
}

double screen_height(const Objects& gr) { return gr.get(0, "screensize").matrix().data()[3]; }

bool is_normalized(const Objects& gr, Handle h) {
  return lower_case(text_property(gr, h, "Units", "pixels")) == "normalized";
}

// Paints the figure's background and every axes of it at its place; the controls lie on top.
class FigureCanvas : public QWidget {
 public:
  FigureCanvas(Handle fig, FigureWindow* window, QWidget* parent)
      : QWidget(parent), fig_(fig), window_(window) {
    setMouseTracking(true);
  }

 protected:
  void mouseMoveEvent(QMouseEvent* e) override {
    window_->pointer_moved(e->position(), e->buttons() & Qt::LeftButton);
    if (!window_->status_text().isEmpty() && underMouse() && !(e->buttons() & Qt::LeftButton))
      QToolTip::showText(e->globalPosition().toPoint(), window_->status_text(), this);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) window_->pointer_pressed(e->position());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) window_->pointer_released(e->position());
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) window_->fit_drawing();
  }
  void wheelEvent(QWheelEvent* e) override {
    window_->wheel_turned(e->position(), e->angleDelta().y() / 120.0);
    e->accept();
  }

  void paintEvent(QPaintEvent*) override {
    const Objects& gr = window_->objects();
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(color_property(gr, fig_, "Color").value_or(QColor(240, 240, 240)));
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_ARGB32, image.width(),
                                            image.height(), static_cast<int>(image.bytesPerLine()));
    cairo_t* cr = cairo_create(surface);
    try {
      for (Handle h : gr.children(fig_)) {
        if (gr.type(h) != "axes" || text_property(gr, h, "Visible", "on") == "off") continue;
        const Row p = gr.pixel_position(h);
        render_axes(cr, gr, h, p(0), height() - p(1) - p(3), p(2), p(3));
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

 private:
  Handle fig_;
  FigureWindow* window_;
  std::string last_failure_;
};

// The wheel zooms by this factor per notch; a click moves the pointer less than this.
constexpr double kZoomPerStep = 1.25;
constexpr double kDragPx = 4;
constexpr double kHoverRadiusPx = 6;
constexpr int kLogHeightPx = 150;
constexpr int kSmallestWindowW = 480, kSmallestWindowH = 360;
constexpr int kTitleBarPx = 32;  // room left above the window for its frame

QString button_label(const Objects& gr, Handle h) { return string_of(gr, h).replace('&', "&&"); }

}  // namespace

FigureWindow::FigureWindow(Objects& objects, Handle fig, ActivateHandler on_activate,
                           ControlHandler on_close, QtBackend* desktop)
    : gr_(objects),
      fig_(fig),
      on_activate_(std::move(on_activate)),
      on_close_(std::move(on_close)),
      desktop_(desktop) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  surface_ = new QWidget(this);
  layout->addWidget(surface_, 1);
  auto* canvas = new FigureCanvas(fig, this, surface_);
  canvas->lower();
  widgets_[fig] = canvas;
  // Controls keep their distance from the top-left corner; they lie on a panel of the room they
  // need, which scrolls on its own when the window is lower than that, while the axes beside it
  // shrink to the window and stay in view.
  int need_w = 0, need_h = 0;
  const double h = gr_.pixel_position(fig_)(3);
  for (Handle c : gr_.listing(fig_)) {
    if (gr_.type(c) != "uicontrol" && gr_.type(c) != "uipanel") continue;
    const Row p = gr_.pixel_position(c);
    need_w = std::max(need_w, static_cast<int>(p(0) + p(2)));
    need_h = std::max(need_h, static_cast<int>(h - p(1)));
  }
  panel_scroll_ = new QScrollArea(surface_);
  panel_scroll_->setFrameShape(QFrame::NoFrame);
  panel_scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  panel_scroll_->viewport()->setAutoFillBackground(false);  // the figure's colour shows through
  panel_ = new QWidget;
  panel_->setAutoFillBackground(false);
  panel_->setFixedSize(need_w, need_h > 0 ? need_h + 8 : 0);
  panel_scroll_->setWidget(panel_);
  panel_scroll_->setVisible(need_w > 0);
  surface_->installEventFilter(this);
  if (desktop_) build_desktop();
  sync();
  surface_->setMinimumSize(need_w + 160, 160);
  setMinimumSize(std::min(kSmallestWindowW, need_w + 160), std::min(kSmallestWindowH, need_h + 8));
}

void FigureWindow::place_panel() {
  // As wide as the controls, and a scroll bar's width more when the window is too low for them.
  const bool scrolls = panel_->height() > surface_->height();
  const int bar = scrolls ? panel_scroll_->verticalScrollBar()->sizeHint().width() : 0;
  panel_scroll_->setGeometry(0, 0, panel_->width() + bar,
                             std::min(surface_->height(), panel_->height()));
  panel_scroll_->raise();
}

void FigureWindow::build_desktop() {
  setAcceptDrops(true);
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  menus_ = new QMenuBar(this);
  layout->setMenuBar(menus_);
  build_menus();
  log_ = new QPlainTextEdit(this);
  log_->setReadOnly(true);
  log_->setMaximumBlockCount(20000);
  log_->setFixedHeight(kLogHeightPx);
  log_->setToolTip(QStringLiteral(
      "Everything the console shows: the run's values, warnings and messages (select and copy)"));
  log_->setVisible(false);
  layout->addWidget(log_);
  auto* bar = new QStatusBar(this);
  status_bar_ = bar;
  bar->setSizeGripEnabled(false);
  status_ = new QLabel(bar);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bar->addWidget(status_, 1);
  stop_ = new QPushButton(QStringLiteral("Stop"), bar);
  stop_->setToolTip(
      QStringLiteral("End the iterated run after the current pass (Esc); the earlier sample and "
                     "reference are kept"));
  stop_->setVisible(false);
  connect(stop_, &QPushButton::clicked, stop_,
          [this] { action(QStringLiteral("Stop"))->trigger(); });
  bar->addPermanentWidget(stop_);
  log_toggle_ = new QToolButton(bar);
  log_toggle_->setText(QStringLiteral("Log"));
  log_toggle_->setCheckable(true);
  log_toggle_->setToolTip(QStringLiteral("Show or hide the log pane (Ctrl+L)"));
  connect(log_toggle_, &QToolButton::toggled, log_toggle_,
          [this](bool on) { set_log_visible(on); });
  bar->addPermanentWidget(log_toggle_);
  layout->addWidget(bar);
  menus_->ensurePolished();
  bar->ensurePolished();
}

void FigureWindow::build_menus() {
  for (const MenuEntry& e : desktop_menu_entries()) {
    QMenu* menu = nullptr;
    for (QAction* a : menus_->actions())
      if (a->menu() && a->text() == e.menu) menu = a->menu();
    if (!menu) menu = menus_->addMenu(QString::fromUtf8(e.menu));
    if (!*e.label) {
      menu->addSeparator();
      continue;
    }
    if (QString(e.name) == QLatin1String("Recent")) {
      recent_menu_ = menu->addMenu(QString::fromUtf8(e.label));
      refresh_recent();
      continue;
    }
    QAction* a = menu->addAction(QString::fromUtf8(e.label));
    a->setObjectName(QString::fromUtf8(e.name));
    if (*e.shortcut) {
      a->setShortcut(QKeySequence(QString::fromUtf8(e.shortcut)));
      a->setShortcutContext(Qt::WindowShortcut);
    }
    actions_[a->objectName()] = a;
    addAction(a);  // the shortcut works wherever the focus is in the window
    if (e.kind == MenuKind::control || e.kind == MenuKind::check) {
      a->setCheckable(e.kind == MenuKind::check);
      const char* tag = e.name;
      connect(a, &QAction::triggered, this, [this, tag] { click_control(tag); });
    } else {
      a->setCheckable(e.kind == MenuKind::toggle);
      connect(a, &QAction::triggered, this, [this, name = a->objectName()] {
        desktop_->menu_command(*this, name.toStdString());
      });
    }
  }
}

void FigureWindow::refresh_recent() {
  if (!recent_menu_) return;
  recent_menu_->clear();
  const QStringList files = desktop_->recent_files();
  for (const QString& path : files) {
    QAction* a = recent_menu_->addAction(path);
    connect(a, &QAction::triggered, this, [this, path] { desktop_->open_path(path); });
  }
  recent_menu_->setEnabled(!files.isEmpty());
}

void FigureWindow::click_control(const char* tag) {
  for (Handle h : gr_.find_by_tag(tag)) {
    if (gr_.figure_of(h) != fig_) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(widget(h)); b && b->isEnabled()) b->click();
    return;
  }
}

QAction* FigureWindow::action(const QString& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

QString FigureWindow::status_text() const {
  if (!status_) return hover_text_;
  return status_->text();
}

void FigureWindow::show_notice(const QString& text, int ms) {
  if (status_bar_) status_bar_->showMessage(text, ms);
}

QString FigureWindow::notice_text() const {
  return status_bar_ ? status_bar_->currentMessage() : QString();
}

void FigureWindow::append_log(const QString& text) {
  if (!log_) return;
  log_->moveCursor(QTextCursor::End);
  log_->insertPlainText(text);
  log_->moveCursor(QTextCursor::End);
}

void FigureWindow::set_log_visible(bool on) {
  if (!log_ || log_->isHidden() != on) return;
  // The window grows or shrinks by the pane, so the drawing keeps its size.
  const int dh = on ? kLogHeightPx : -kLogHeightPx;
  log_->setVisible(on);
  {
    const QSignalBlocker quiet(log_toggle_);
    log_toggle_->setChecked(on);
  }
  if (QAction* a = action(QStringLiteral("ShowLog"))) a->setChecked(on);
  if (isVisible() && !isMaximized()) resize(width(), height() + dh);
}

QSize FigureWindow::chrome() const {
  if (!desktop_) return {0, 0};
  // Once laid out, what the window gives the menus, log and status line; before, their wishes.
  if (isVisible() && surface_->height() > 0) return {0, height() - surface_->height()};
  int h = menus_->sizeHint().height() + status_->parentWidget()->sizeHint().height();
  if (!log_->isHidden()) h += kLogHeightPx;
  return {0, h};
}

QWidget* FigureWindow::widget(Handle h) const {
  if (h != fig_ && gr_.valid(h) && gr_.type(h) == "axes") h = fig_;  // the canvas paints axes
  auto it = widgets_.find(h);
  return it == widgets_.end() ? nullptr : it->second;
}

void FigureWindow::repaint_axes() { widgets_.at(fig_)->repaint(); }

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
  if (status_ && text_property(gr_, fig_, "StatusText").empty()) status_->setText(text);
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

void FigureWindow::sync() {
  sync_geometry();
  for (auto it = widgets_.begin(); it != widgets_.end();) {
    if (gr_.valid(it->first)) {
      ++it;
      continue;
    }
    it->second->deleteLater();
    it = widgets_.erase(it);
  }
  const double height = gr_.pixel_position(fig_)(3);
  for (Handle h : gr_.listing(fig_)) {
    const std::string type = gr_.type(h);
    if (type != "uicontrol" && type != "uipanel") continue;
    QWidget*& w = widgets_[h];
    if (!w) w = make_widget(h, panel_);
    update_widget(h, w, height);
  }
  widgets_.at(fig_)->setGeometry(surface_->rect());
  place_panel();
  widgets_.at(fig_)->update();
  if (desktop_) sync_desktop();
}

void FigureWindow::sync_desktop() {
  const std::string progress = text_property(gr_, fig_, "StatusText");
  status_->setText(progress.empty() ? hover_text_ : QString::fromStdString(progress));
  stop_->setVisible(!progress.empty());
  for (const auto& [name, a] : actions_) {
    if (!a->isCheckable()) continue;
    const auto found = gr_.find_by_tag(name.toStdString());
    if (found.empty()) continue;
    const QSignalBlocker quiet(a);
    a->setChecked(gr_.get(found.front(), "Value").truthy());
  }
}

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

QWidget* FigureWindow::make_widget(Handle h, QWidget* host) {
  const std::string style =
      gr_.type(h) == "uipanel" ? "frame" : lower_case(text_property(gr_, h, "Style", "pushbutton"));
  QWidget* w = nullptr;
  auto two_state = [this, h](QAbstractButton* b) {
    b->setCheckable(true);
    connect(b, &QAbstractButton::clicked, b, [this, h, b](bool on) {
      if (!gr_.valid(h)) return;
      const Value before = gr_.get(h, "Value");
      gr_.set(h, "Value", Value(on ? 1.0 : 0.0));
      if (on_activate_(h)) return;
      gr_.set(h, "Value", before);  // refused: the box shows what the model holds
      const QSignalBlocker quiet(b);
      b->setChecked(before.truthy());
    });
    return b;
  };
  if (style == "pushbutton") {
    auto* b = new QPushButton(host);
    connect(b, &QPushButton::clicked, b, [this, h] { on_activate_(h); });
    w = b;
  } else if (style == "checkbox") {
    w = two_state(new QCheckBox(host));
  } else if (style == "radiobutton") {
    auto* b = new QRadioButton(host);
    b->setAutoExclusive(false);
    w = two_state(b);
  } else if (style == "togglebutton") {
    w = two_state(new QPushButton(host));
  } else if (style == "edit") {
    auto* e = new QLineEdit(host);
    connect(e, &QLineEdit::editingFinished, e, [this, h, e] {
      if (!gr_.valid(h)) return;
      const Value before = gr_.get(h, "String");
      gr_.set(h, "String", Value(e->text().toStdString()));
      if (on_activate_(h)) return;
      gr_.set(h, "String", before);  // refused: the field shows what the model holds
      e->setText(string_of(gr_, h));
    });
    w = e;
  } else if (style == "frame") {
    w = new QGroupBox(host);
  } else {
    auto* label = new QLabel(host);
    label->setTextFormat(Qt::PlainText);
    w = label;
  }
  w->show();
  if (style == "frame") w->lower(), widgets_.at(fig_)->lower();
  return w;
}

void FigureWindow::update_widget(Handle h, QWidget* w, double host_height) {
  const Row p = gr_.pixel_position(h);
  w->setGeometry(static_cast<int>(std::lround(p(0))),
                 static_cast<int>(std::lround(host_height - p(1) - p(3))),
                 static_cast<int>(std::lround(p(2))), static_cast<int>(std::lround(p(3))));
  w->setVisible(text_property(gr_, h, "Visible", "on") != "off");
  w->setEnabled(text_property(gr_, h, "Enable", "on") != "off");
  w->setToolTip(QString::fromStdString(text_property(gr_, h, "TooltipString")));
  if (QFont font = w->font(); font.bold() != (text_property(gr_, h, "FontWeight") == "bold")) {
    font.setBold(!font.bold());
    w->setFont(font);
  }

  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (b->text() != button_label(gr_, h)) b->setText(button_label(gr_, h));
    if (b->isCheckable()) {
      const QSignalBlocker quiet(b);
      b->setChecked(gr_.get(h, "Value").truthy());
    }
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(string_of(gr_, h));
    const std::string align = text_property(gr_, h, "HorizontalAlignment", "left");
    label->setAlignment(Qt::AlignTop | (align == "center"  ? Qt::AlignHCenter
                                        : align == "right" ? Qt::AlignRight
                                                           : Qt::AlignLeft));
    if (const auto bg = color_property(gr_, h, "BackgroundColor")) {
      label->setStyleSheet(QStringLiteral("QLabel { background: %1; border: 1px solid #b4b4b4; "
                                          "border-radius: 3px; padding: 3px 5px; }")
                               .arg(bg->name()));
    }
  } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
    box->setTitle(string_of(gr_, h));
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (!edit->hasFocus()) edit->setText(string_of(gr_, h));
  }
}

void FigureWindow::closeEvent(QCloseEvent* event) {
  // The backend removes the figure from the model (now, or after a running action); the window
  // goes when the model no longer has it.
  event->ignore();
  if (desktop_) desktop_->remember_window(*this);
  on_close_(fig_);
}

bool FigureWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == surface_ && event->type() == QEvent::Resize) surface_resized();
  return QWidget::eventFilter(watched, event);
}

void FigureWindow::surface_resized() {
  // Also while the model's size is being applied: the platform may give the window another
  // size (a small screen), and the model must then follow what is shown.
  if (!gr_.valid(fig_)) return;
  const Row pos = gr_.pixel_position(fig_);
  const double dw = surface_->width() - pos(2), dh = surface_->height() - pos(3);
  if (dw != 0 || dh != 0) follow_resize(dw, dh);
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
