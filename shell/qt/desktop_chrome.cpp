// What the main window has around its figure: the menu bar (each entry clicks its control or
// runs a command of the window), the recent files, the log pane, and the status line with the
// run's progress or the point under the pointer, notes, Stop and the log's toggle.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/qt/desktop_host.h"
#include "shell/qt/desktop_menus.h"
#include "shell/qt/figure_properties.h"
#include "shell/qt/figure_window.h"

namespace tav {
namespace {

constexpr int kLogHeightPx = 150;

}  // namespace

void FigureWindow::build_desktop() {
  setAcceptDrops(true);
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  menus_ = new QMenuBar(this);
  layout->setMenuBar(menus_);
  build_menus();
  // The drawing and the log share the window's height: showing the log takes its room from
  // the drawing (the divider moves), never from beyond the screen.
  auto* split = new QSplitter(Qt::Vertical, this);
  split->setChildrenCollapsible(false);
  layout->removeWidget(surface_);
  split->addWidget(surface_);
  log_box_ = new QWidget(split);
  auto* box = new QVBoxLayout(log_box_);
  box->setContentsMargins(4, 2, 4, 2);
  working_values_ = new QCheckBox(QStringLiteral("Show working values"), log_box_);
  working_values_->setToolTip(
      QStringLiteral("Show everything the console shows: the run's working values besides what "
                     "was read, run and written"));
  connect(working_values_, &QCheckBox::toggled, working_values_, [this] { refill_log(); });
  box->addWidget(working_values_);
  log_ = new QPlainTextEdit(log_box_);
  log_->setReadOnly(true);
  log_->setMaximumBlockCount(20000);
  log_->setToolTip(QStringLiteral(
      "What was read, which run ran and how it ended, what was written, and every warning "
      "(select and copy)"));
  box->addWidget(log_);
  split->addWidget(log_box_);
  split->setStretchFactor(0, 1);
  split->setSizes({4 * kLogHeightPx, kLogHeightPx});
  log_box_->setVisible(false);
  layout->insertWidget(0, split, 1);
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

QString FigureWindow::idle_status() const {
  if (!hover_text_.isEmpty()) return hover_text_;
  return QString::fromStdString(text_property(gr_, fig_, "StatusNote"));
}

void FigureWindow::show_notice(const QString& text, int ms) {
  if (status_bar_) status_bar_->showMessage(text, ms);
}

QString FigureWindow::notice_text() const {
  return status_bar_ ? status_bar_->currentMessage() : QString();
}

void FigureWindow::append_log(const QString& text) {
  console_log_ += text;
  if (log_ && working_values_->isChecked()) add_to_pane(text);
}

void FigureWindow::append_user_log(const QString& line) {
  user_log_ += line + QLatin1Char('\n');
  if (log_ && !working_values_->isChecked()) add_to_pane(line + QLatin1Char('\n'));
}

void FigureWindow::add_to_pane(const QString& text) {
  log_->moveCursor(QTextCursor::End);
  log_->insertPlainText(text);
  log_->moveCursor(QTextCursor::End);
}

void FigureWindow::refill_log() {
  if (!log_) return;
  log_->clear();
  add_to_pane(working_values_->isChecked() ? console_log_ : user_log_);
}

void FigureWindow::set_log_visible(bool on) {
  if (!log_box_ || log_box_->isHidden() != on) return;
  log_box_->setVisible(on);
  {
    const QSignalBlocker quiet(log_toggle_);
    log_toggle_->setChecked(on);
  }
  if (QAction* a = action(QStringLiteral("ShowLog"))) a->setChecked(on);
}

QSize FigureWindow::chrome() const {
  if (!desktop_) return {0, 0};
  // Once laid out, what the window gives the menus, log and status line; before, their wishes.
  if (isVisible() && surface_->height() > 0) return {0, height() - surface_->height()};
  int h = menus_->sizeHint().height() + status_->parentWidget()->sizeHint().height();
  if (!log_box_->isHidden()) h += kLogHeightPx;
  return {0, h};
}

void FigureWindow::sync_desktop() {
  const std::string progress = text_property(gr_, fig_, "StatusText");
  status_->setText(progress.empty() ? idle_status() : QString::fromStdString(progress));
  stop_->setVisible(!progress.empty());
  for (const auto& [name, a] : actions_) {
    const auto found = gr_.find_by_tag(name.toStdString());
    if (found.empty()) continue;
    // An entry for a control is offered when its control is.
    a->setEnabled(text_property(gr_, found.front(), "Enable", "on") != "off");
    if (!a->isCheckable()) continue;
    const QSignalBlocker quiet(a);
    a->setChecked(gr_.get(found.front(), "Value").truthy());
  }
}

}  // namespace tav
