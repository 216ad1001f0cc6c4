// What the main window keeps between runs when it remembers: its place and size, its check
// boxes, the log pane shown or not, the pause per pass, the last folder and the recent files, in
// the settings file named or where Qt keeps the user's settings.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QSettings>
#include <cmath>

#include "platform/run_control.h"
#include "shell/qt/desktop_menus.h"
#include "shell/qt/figure_window.h"
#include "shell/qt/qt_backend.h"

namespace tav {
namespace {

constexpr int kMostRecent = 8;

}  // namespace

std::unique_ptr<QSettings> QtBackend::settings() const {
  if (!remember) return nullptr;
  if (!settings_file.isEmpty())
    return std::make_unique<QSettings>(settings_file, QSettings::IniFormat);
  return std::make_unique<QSettings>(QStringLiteral("tavrel6"), QStringLiteral("tavrel6"));
}

QStringList QtBackend::recent_files() const {
  const auto s = settings();
  return s ? s->value(QStringLiteral("files/recent")).toStringList() : QStringList{};
}

void QtBackend::file_loaded(const std::string& path) {
  add_recent(QFileInfo(QString::fromStdString(path)).absoluteFilePath());
}

void QtBackend::add_recent(const QString& path) {
  const auto s = settings();
  if (!s) return;
  QStringList files = s->value(QStringLiteral("files/recent")).toStringList();
  const QString full = QFileInfo(path).absoluteFilePath();
  files.removeAll(full);
  files.prepend(full);
  while (files.size() > kMostRecent) files.removeLast();
  s->setValue(QStringLiteral("files/recent"), files);
  if (FigureWindow* w = desktop_window()) w->refresh_recent();
}

void QtBackend::remember_folder(const QString& folder) {
  if (const auto s = settings()) s->setValue(QStringLiteral("files/lastFolder"), folder);
}

QString QtBackend::start_folder() const {
  const auto s = settings();
  const QString last = s ? s->value(QStringLiteral("files/lastFolder")).toString() : QString();
  return !last.isEmpty() && QDir(last).exists() ? last : QDir::currentPath();
}

void QtBackend::remember_window(FigureWindow& window) {
  const auto s = settings();
  if (!s) return;
  s->setValue(QStringLiteral("window/size"), window.size());
  s->setValue(QStringLiteral("window/place"), window.pos());
  s->setValue(QStringLiteral("window/log"),
              window.log_pane() && window.log_pane()->isVisibleTo(&window));
  for (Handle h : gr_.listing(window.figure())) {
    const Value tag = gr_.get(h, "Tag"), style = gr_.get(h, "Style");
    if (tag.is_text() && !tag.text().empty() && style.is_text() && style.text() == "checkbox")
      s->setValue(QStringLiteral("controls/") + QString::fromStdString(tag.text()),
                  gr_.get(h, "Value").truthy());
  }
}

void QtBackend::restore_window(FigureWindow& window) {
  for (int ms : pass_pause_choices_ms())
    if (QAction* a = window.action(QStringLiteral("Pause%1").arg(ms)))
      a->setChecked(std::lround(runtime_.control.pass_pause_seconds() * 1000) == ms);
  const auto s = settings();
  if (!s) return;
  for (Handle h : gr_.listing(window.figure())) {
    const Value tag = gr_.get(h, "Tag");
    if (!tag.is_text() || tag.text().empty()) continue;
    const QString key = QStringLiteral("controls/") + QString::fromStdString(tag.text());
    if (s->contains(key)) gr_.set(h, "Value", Value(s->value(key).toBool() ? 1.0 : 0.0));
  }
  const QString pause_key = QStringLiteral("run/pauseMs");
  if (s->contains(pause_key)) {
    runtime_.control.set_pass_pause_seconds(s->value(pause_key).toInt() / 1000.0);
    for (int ms : pass_pause_choices_ms())
      if (QAction* a = window.action(QStringLiteral("Pause%1").arg(ms)))
        a->setChecked(s->value(pause_key).toInt() == ms);
  }
  window.set_log_visible(s->value(QStringLiteral("window/log"), false).toBool());
  // Sized and placed like the window closed last; the figure follows once the window shows.
  if (s->contains(QStringLiteral("window/size")))
    window.resize(s->value(QStringLiteral("window/size")).toSize());
  if (s->contains(QStringLiteral("window/place")))
    window.move(s->value(QStringLiteral("window/place")).toPoint());
  window.sync();
}

}  // namespace tav
