// The figure window's frame of widgets (surface, canvas, the controls' scrolling panel) and its
// controls kept in line with the model: made when they appear, updated at every sync, removed
// when the model no longer has them.
#include "shell/qt/figure_window.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/format.h"
#include "shell/qt/figure_canvas.h"
#include "shell/qt/figure_properties.h"

namespace tav {
namespace {

constexpr int kSmallestWindowW = 480, kSmallestWindowH = 360;

}  // namespace

FigureWindow::FigureWindow(Objects& objects, Handle fig, ActivateHandler on_activate,
                           ControlHandler on_close, DesktopHost* desktop)
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
  canvas_ = new FigureCanvas(gr_, fig, surface_);
  canvas_->setMouseTracking(true);  // the pointer is followed with no button pressed
  canvas_->installEventFilter(this);
  canvas_->lower();
  widgets_[fig] = canvas_;
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

bool FigureWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == canvas_ && pointer_event(event)) return true;
  if (watched == surface_ && event->type() == QEvent::Resize) surface_resized();
  return QWidget::eventFilter(watched, event);
}

void FigureWindow::place_panel() {
  // As wide as the controls, and a scroll bar's width more when the window is too low for them.
  const bool scrolls = panel_->height() > surface_->height();
  const int bar = scrolls ? panel_scroll_->verticalScrollBar()->sizeHint().width() : 0;
  panel_scroll_->setGeometry(0, 0, panel_->width() + bar,
                             std::min(surface_->height(), panel_->height()));
  panel_scroll_->raise();
}

QWidget* FigureWindow::widget(Handle h) const {
  if (h != fig_ && gr_.valid(h) && gr_.type(h) == "axes") h = fig_;  // the canvas paints axes
  auto it = widgets_.find(h);
  return it == widgets_.end() ? nullptr : it->second;
}

void FigureWindow::repaint_axes() { widgets_.at(fig_)->repaint(); }

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

}  // namespace tav
