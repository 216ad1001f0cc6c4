#include "platform/qt/figure_window.h"

#include <cairo.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "display/render.h"
#include "platform/backend.h"
#include "platform/console.h"

namespace tav {
namespace {

std::string lowercase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string text_property(Handle h, const char* name, const std::string& fallback = "") {
  const Value v = gr().get(h, name);
  return v.is_text() ? v.text() : fallback;
}

// A control's "String": a text (line breaks kept) or a list of lines.
QString string_of(Handle h) {
  const Value v = gr().get(h, "String");
  if (v.is_text()) return QString::fromStdString(v.text());
  QStringList lines;
  if (v.is_list())
    for (const Value& item : v.list())
      if (item.is_text()) lines << QString::fromStdString(item.text());
  return lines.join('\n');
}

// An [r g b] colour with parts from 0 to 1, or none.
std::optional<QColor> color_property(Handle h, const char* name) {
  const Value v = gr().get(h, name);
  if (!v.is_matrix() || v.matrix().size() != 3) return std::nullopt;
  const Matrix& m = v.matrix();
  return QColor::fromRgbF(static_cast<float>(m.data()[0]), static_cast<float>(m.data()[1]),
                          static_cast<float>(m.data()[2]));
}

double screen_height() { return gr().get(0, "screensize").matrix().data()[3]; }

bool is_normalized(Handle h) { return lowercase(text_property(h, "Units", "pixels")) == "normalized"; }

// Paints the figure's background and every axes of it at its place; the controls lie on top.
class FigureCanvas : public QWidget {
 public:
  FigureCanvas(Handle fig, QWidget* parent) : QWidget(parent), fig_(fig) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(color_property(fig_, "Color").value_or(QColor(240, 240, 240)));
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        image.bits(), CAIRO_FORMAT_ARGB32, image.width(), image.height(),
        static_cast<int>(image.bytesPerLine()));
    cairo_t* cr = cairo_create(surface);
    try {
      for (Handle h : gr().children(fig_)) {
        if (gr().type(h) != "axes" || text_property(h, "Visible", "on") == "off") continue;
        const Row p = gr().pixel_position(h);
        render_axes(cr, gr(), h, p(0), height() - p(1) - p(3), p(2), p(3));
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
  std::string last_failure_;
};

QString button_label(Handle h) { return string_of(h).replace('&', "&&"); }

}  // namespace

FigureWindow::FigureWindow(Handle fig, ControlHandler on_activate, ControlHandler on_close)
    : fig_(fig), on_activate_(std::move(on_activate)), on_close_(std::move(on_close)) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* canvas = new FigureCanvas(fig, this);
  canvas->lower();
  widgets_[fig] = canvas;
  sync();
  // Controls keep their distance from the top-left corner, so the window may not shrink below
  // the room they need; the axes get whatever is left.
  int need_w = 0, need_h = 0;
  const double h = gr().pixel_position(fig_)(3);
  for (Handle c : gr().listing(fig_)) {
    if (gr().type(c) != "uicontrol" && gr().type(c) != "uipanel") continue;
    const Row p = gr().pixel_position(c);
    need_w = std::max(need_w, static_cast<int>(p(0) + p(2)));
    need_h = std::max(need_h, static_cast<int>(h - p(1)));
  }
  setMinimumSize(need_w + 160, std::max(need_h + 8, 160));
}

QWidget* FigureWindow::widget(Handle h) const {
  if (h != fig_ && gr().valid(h) && gr().type(h) == "axes") h = fig_;  // the canvas paints axes
  auto it = widgets_.find(h);
  return it == widgets_.end() ? nullptr : it->second;
}

void FigureWindow::repaint_axes() { widgets_.at(fig_)->repaint(); }

void FigureWindow::sync() {
  sync_geometry();
  for (auto it = widgets_.begin(); it != widgets_.end();) {
    if (gr().valid(it->first)) {
      ++it;
      continue;
    }
    it->second->deleteLater();
    it = widgets_.erase(it);
  }
  const double height = gr().pixel_position(fig_)(3);
  for (Handle h : gr().listing(fig_)) {
    const std::string type = gr().type(h);
    if (type != "uicontrol" && type != "uipanel") continue;
    QWidget*& w = widgets_[h];
    if (!w) w = make_widget(h, this);
    update_widget(h, w, height);
  }
  widgets_.at(fig_)->setGeometry(rect());
  widgets_.at(fig_)->update();
}

void FigureWindow::sync_geometry() {
  const Value name = gr().get(fig_, "Name");
  setWindowTitle(name.is_text() && !name.text().empty()
                     ? QString::fromStdString(name.text())
                     : QStringLiteral("Figure %1").arg(static_cast<int>(fig_)));
  if (const auto color = color_property(fig_, "Color")) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, *color);
    setPalette(pal);
  }
  if (text_property(fig_, "Pointer") == "watch")
    setCursor(Qt::WaitCursor);
  else
    unsetCursor();

  const Row pos = gr().pixel_position(fig_);
  if (applied_pos_.size() != pos.size() || applied_pos_ != pos) {
    applying_ = true;
    const int top = static_cast<int>(std::lround(screen_height() - pos(1) - pos(3)));
    setGeometry(static_cast<int>(std::lround(pos(0))), std::max(top, 0),
                static_cast<int>(std::lround(pos(2))), static_cast<int>(std::lround(pos(3))));
    applying_ = false;
    applied_pos_ = pos;
  }
}

QWidget* FigureWindow::make_widget(Handle h, QWidget* host) {
  const std::string style =
      gr().type(h) == "uipanel" ? "frame" : lowercase(text_property(h, "Style", "pushbutton"));
  QWidget* w = nullptr;
  auto two_state = [this, h](QAbstractButton* b) {
    b->setCheckable(true);
    connect(b, &QAbstractButton::clicked, b, [this, h](bool on) {
      if (!gr().valid(h)) return;
      gr().set(h, "Value", Value(on ? 1.0 : 0.0));
      on_activate_(h);
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
      if (!gr().valid(h)) return;
      gr().set(h, "String", Value(e->text().toStdString()));
      on_activate_(h);
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
  const Row p = gr().pixel_position(h);
  w->setGeometry(static_cast<int>(std::lround(p(0))),
                 static_cast<int>(std::lround(host_height - p(1) - p(3))),
                 static_cast<int>(std::lround(p(2))), static_cast<int>(std::lround(p(3))));
  w->setVisible(text_property(h, "Visible", "on") != "off");
  w->setEnabled(text_property(h, "Enable", "on") != "off");
  w->setToolTip(QString::fromStdString(text_property(h, "TooltipString")));
  if (QFont font = w->font(); font.bold() != (text_property(h, "FontWeight") == "bold")) {
    font.setBold(!font.bold());
    w->setFont(font);
  }

  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (b->text() != button_label(h)) b->setText(button_label(h));
    if (b->isCheckable()) {
      const QSignalBlocker quiet(b);
      b->setChecked(gr().get(h, "Value").truthy());
    }
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(string_of(h));
    const std::string align = text_property(h, "HorizontalAlignment", "left");
    label->setAlignment(Qt::AlignTop | (align == "center" ? Qt::AlignHCenter
                                        : align == "right" ? Qt::AlignRight
                                                           : Qt::AlignLeft));
    if (const auto bg = color_property(h, "BackgroundColor")) {
      label->setStyleSheet(QStringLiteral("QLabel { background: %1; border: 1px solid #b4b4b4; "
                                          "border-radius: 3px; padding: 3px 5px; }")
                               .arg(bg->name()));
    }
  } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
    box->setTitle(string_of(h));
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (!edit->hasFocus()) edit->setText(string_of(h));
  }
}

void FigureWindow::closeEvent(QCloseEvent* event) {
  // The backend removes the figure from the model (now, or after a running action); the window
  // goes when the model no longer has it.
  event->ignore();
  on_close_(fig_);
}

void FigureWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Also while the model's size is being applied: the platform may give the window another
  // size (a small screen), and the model must then follow what is shown.
  if (!gr().valid(fig_)) return;
  const Row pos = gr().pixel_position(fig_);
  const double dw = width() - pos(2), dh = height() - pos(3);
  if (dw != 0 || dh != 0) follow_resize(dw, dh);
}

void FigureWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!applying_ && gr().valid(fig_)) store_outer_corner();
}

void FigureWindow::store_outer_corner() {
  Row pos = gr().pixel_position(fig_);
  const Row moved = row({static_cast<double>(x()), screen_height() - y() - height(), pos(2), pos(3)});
  if (moved == pos) return;
  const Value units = gr().get(fig_, "Units");
  gr().set(fig_, "Units", Value("pixels"));
  gr().set(fig_, "Position", Value(moved));
  gr().set(fig_, "Units", units);
  applied_pos_ = moved;
}

void FigureWindow::follow_resize(double dw, double dh) {
  // Axes laid out in fixed units keep their margins and take the new room; read them before
  // the figure's size changes, since the model keeps axes relative to it.
  std::vector<std::pair<Handle, Row>> axes;
  for (Handle h : gr().children(fig_))
    if (gr().type(h) == "axes" && !is_normalized(h)) axes.emplace_back(h, gr().pixel_position(h));

  const Value units = gr().get(fig_, "Units");
  gr().set(fig_, "Units", Value("pixels"));
  gr().set(fig_, "Position", Value(row({static_cast<double>(x()), screen_height() - y() - height(),
                                        static_cast<double>(width()),
                                        static_cast<double>(height())})));
  gr().set(fig_, "Units", units);
  applied_pos_ = gr().pixel_position(fig_);

  auto set_pixels = [](Handle h, const Row& p) {
    const Value u = gr().get(h, "Units");
    gr().set(h, "Units", Value("pixels"));
    gr().set(h, "Position", Value(p));
    gr().set(h, "Units", u);
  };
  for (const auto& [h, p] : axes)
    set_pixels(h, row({p(0), p(1), std::max(10.0, p(2) + dw), std::max(10.0, p(3) + dh)}));
  for (Handle h : gr().listing(fig_)) {
    const std::string type = gr().type(h);
    if ((type != "uicontrol" && type != "uipanel") || is_normalized(h)) continue;
    Row p = gr().pixel_position(h);
    p(1) += dh;
    set_pixels(h, p);
  }
  sync();
}

}  // namespace tav
