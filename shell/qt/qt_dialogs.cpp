// The Qt backend's dialogs: a file to open or to save (an answer given in advance first, a
// cancel when there is no display), messages and errors that do not wait, notes in the status
// line. Each also reaches the console or the log pane.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "platform/console.h"
#include "shell/qt/figure_window.h"
#include "shell/qt/qt_backend.h"

namespace tav {
namespace {

// How long a note in the status line stays.
constexpr int kNoticeMs = 8000;

// The dialog filter: the pattern asked for, with "*" beside it so that names without an
// extension are listed too.
QString dialog_filter(const std::string& filter) {
  const QString pattern = QString::fromStdString(filter.empty() ? "*.*" : filter);
  if (pattern == QLatin1String("*.*")) return QStringLiteral("All files (%1 *)").arg(pattern);
  // Named filters ("PNG (*.png);;...") are the dialog's own already.
  if (pattern.contains(QLatin1Char('('))) return pattern;
  // A list of endings: only those files; the names written are the ones listed.
  return QStringLiteral("Files written (%1)").arg(pattern);
}

// Without a display no dialog can ask: the action sees a cancel, the console says why.
std::optional<FileChoice> no_dialog(const std::string& title) {
  console_write("No display to show the dialog \"" + title + "\"; taken as cancelled.\n");
  return std::nullopt;
}

}  // namespace

// A box that does not wait (a run that reports goes on to its end) but keeps the window's
// input until it is closed; a message while it is open is added to it, so that only one box
// is ever open and none is lost.
void QtBackend::show_box(QMessageBox::Icon icon, const QString& title, const std::string& text) {
  const QString said = QString::fromStdString(text);
  if (box_ && box_->isVisible()) {
    box_->setText(box_->text() + QStringLiteral("\n\n") + said);
    if (icon == QMessageBox::Critical) box_->setIcon(icon), box_->setWindowTitle(title);
    return;
  }
  box_ = new QMessageBox(icon, title, said, QMessageBox::Ok, dialog_parent());
  box_->setAttribute(Qt::WA_DeleteOnClose);
  box_->setWindowModality(box_->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
  box_->show();
}

std::optional<FileChoice> QtBackend::choice_of(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  FileChoice c;
  const QFileInfo info(path);
  c.name = info.fileName().toStdString();
  c.folder = QDir::toNativeSeparators(info.absolutePath() + '/').toStdString();
  return c;
}

QWidget* QtBackend::dialog_parent() {
  return gr_.has_current_figure() ? window(gr_.gcf()) : nullptr;
}

std::optional<std::optional<FileChoice>> QtBackend::given_answer() {
  if (answers.empty()) return std::nullopt;
  const std::optional<FileChoice> c = answers.front();
  answers.pop_front();
  return c;
}

std::optional<FileChoice> QtBackend::open_file(const std::string& filter,
                                               const std::string& title) {
  if (const auto given = given_answer()) return *given;
  if (!ensure_application()) return no_dialog(title);
  sync();
  const QString path = QFileDialog::getOpenFileName(dialog_parent(), QString::fromStdString(title),
                                                    start_folder(), dialog_filter(filter));
  // Listed among the recent files once the load has taken it (file_loaded), not before.
  if (!path.isEmpty()) remember_folder(QFileInfo(path).absolutePath());
  return choice_of(path);
}

std::optional<FileChoice> QtBackend::save_file(const std::string& filter,
                                               const std::string& title) {
  if (const auto given = given_answer()) return *given;
  if (!ensure_application()) return no_dialog(title);
  sync();
  const QString path = QFileDialog::getSaveFileName(dialog_parent(), QString::fromStdString(title),
                                                    start_folder(), dialog_filter(filter));
  if (!path.isEmpty()) remember_folder(QFileInfo(path).absolutePath());
  return choice_of(path);
}

void QtBackend::message(const std::string& text) {
  if (!ensure_application()) {
    console_write(text + "\n");
    return;
  }
  // The log pane shows every message; tell_user has written most of them there already.
  if (!console_tee_.ends_with_line(text)) console_tee_.keep(text + "\n");
  say(text);
  show_box(QMessageBox::Information, QStringLiteral("tavrel6"), text);
}

void QtBackend::error_dialog(const std::string& text) {
  if (!ensure_application()) {
    console_write("Error: " + text + "\n");
    return;
  }
  console_tee_.keep("Error: " + text + "\n");
  say("Error: " + text);
  show_box(QMessageBox::Critical, QStringLiteral("Error"), text);
}

void QtBackend::notice(const std::string& text) {
  console_write(text + "\n");
  if (!QApplication::instance()) return;
  flush_log();
  say(text);
  if (FigureWindow* w = desktop_window()) w->show_notice(QString::fromStdString(text), kNoticeMs);
}

void QtBackend::say(const std::string& line) {
  if (!QApplication::instance()) return;
  flush_log();  // the console's lines before it stay before it
  if (FigureWindow* w = desktop_window()) w->append_user_log(QString::fromStdString(line));
}

}  // namespace tav
