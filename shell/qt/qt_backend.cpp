#include "shell/qt/qt_backend.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <iostream>
#include <streambuf>
#include <thread>

#include "platform/console.h"
#include "platform/run_control.h"
#include "shell/qt/desktop_menus.h"
#include "shell/qt/figure_window.h"

#ifndef TAV_VERSION
#define TAV_VERSION "unknown"
#endif

namespace tav {
namespace {

// How often the windows look for changes of the object model while events are served.
constexpr int kPollMs = 30;
// During a long computation, events are served at its ticks at most this often: often enough
// that the window follows the pointer and answers Stop at once, seldom enough to cost little.
constexpr int kServeEveryMs = 40;
// How long a note in the status line stays.
constexpr int kNoticeMs = 8000;
// Application data of a figure: the serial number of the window that shows it.
const char* const kSerialName = "QtWindowSerial";

// The dialog filter: the pattern asked for, with "*" beside it so that names without an
// extension are listed too.
QString dialog_filter(const std::string& filter) {
  const QString pattern = QString::fromStdString(filter.empty() ? "*.*" : filter);
  if (pattern == QLatin1String("*.*")) return QStringLiteral("All files (%1 *)").arg(pattern);
  // A list of endings: only those files; the names written are the ones listed.
  return QStringLiteral("Files written (%1)").arg(pattern);
}

FileChoice choice_of(const QString& path) {
  FileChoice c;
  if (path.isEmpty()) return c;
  const QFileInfo info(path);
  c.cancelled = false;
  c.name = info.fileName().toStdString();
  c.folder = QDir::toNativeSeparators(info.absolutePath() + '/').toStdString();
  return c;
}

// Whether Qt has somewhere to show windows: a platform chosen by hand, an X or Wayland display.
bool display_available() {
  return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
         qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Without a display no dialog can ask: the action sees a cancel, the console says why.
FileChoice no_dialog(const std::string& title) {
  console_write("No display to show the dialog \"" + title + "\"; taken as cancelled.\n");
  return FileChoice{};
}

void report(Runtime& runtime, const std::exception& e) {
  runtime.last_error = e.what();
  console_write(std::string(e.what()) + "\n");
}

const char* const kDesktopName = "DesktopWindow";
constexpr int kMostRecent = 8;
constexpr std::size_t kLogTail = 4096;

// Writes everything both to the stream it had and to a sink (the log pane).
class TeeBuffer : public std::streambuf {
 public:
  TeeBuffer(std::ostream* out, std::function<void(const char*, std::streamsize)> sink)
      : out_(out), sink_(std::move(sink)) {}

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    const char ch = static_cast<char>(c);
    xsputn(&ch, 1);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    out_->write(s, n);
    sink_(s, n);
    return n;
  }
  int sync() override {
    out_->flush();
    return 0;
  }

 private:
  std::ostream* out_;
  std::function<void(const char*, std::streamsize)> sink_;
};

const char* const kGuide =
    "1. File > Load sample (Ctrl+O): one specimen per line, x1 y1 ... xk yk and a trailing "
    "value, or a TPS file. Files can also be dropped on the window.\n"
    "2. Choose the run in the Run menu or the Run settings, then File > Load protocol and run "
    "(Ctrl+P): rows \"curve 0 point type\" (curve 0: landmarks; negative: closed curves; "
    "positive: open curves; type 0 landmark, 1 semi-landmark, 2 helper).\n"
    "3. Esc or Stop ends an iterated run after the current pass.\n"
    "4. Save the superimposed sample (Ctrl+S) or the consensus (Ctrl+Shift+S); export the "
    "drawing (Ctrl+E) as .eps, .pdf, .svg or .png.\n"
    "In the drawing: the wheel zooms about the pointer, dragging pans, a double click fits the "
    "drawing; the pointer on a point names it, its kind and its specimen; a click on a point "
    "rings every point of its specimen and draws its outline.\n"
    "View > Show the log (Ctrl+L) shows what the console shows.";

}  // namespace

QtBackend::QtBackend(Runtime& runtime) : runtime_(runtime), gr_(runtime.objects) {
  runtime.backend = this;
}

QtBackend::~QtBackend() {
  if (runtime_.backend == this) runtime_.backend = nullptr;
  if (tee_stream_ && &console() == tee_stream_.get()) set_console(previous_console_);
  for (auto& [fig, shown] : windows_) delete shown.window;
  poll_.reset();
}

void QtBackend::attach_console() {
  if (tee_stream_) return;
  tee_ = std::make_unique<TeeBuffer>(&console(), [this](const char* s, std::streamsize n) {
    log(std::string(s, static_cast<std::size_t>(n)));
  });
  tee_stream_ = std::make_unique<std::ostream>(tee_.get());
  previous_console_ = set_console(tee_stream_.get());
}

void QtBackend::log(const std::string& text) {
  pending_log_ += text;
  log_tail_ += text;
  if (log_tail_.size() > kLogTail) log_tail_.erase(0, log_tail_.size() - kLogTail);
}

void QtBackend::flush_log() {
  if (pending_log_.empty()) return;
  if (FigureWindow* w = desktop_window()) {
    w->append_log(QString::fromStdString(pending_log_));
    pending_log_.clear();
  }
}

FigureWindow* QtBackend::desktop_window() const {
  for (const auto& [fig, shown] : windows_)
    if (shows(fig) && gr_.appdata(fig, kDesktopName) == Value(1.0)) return shown.window;
  return nullptr;
}

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

void QtBackend::open_path(const QString& path) {
  // Refused before the file is read to find its load.
  if (refused("Open " + QFileInfo(path).fileName().toStdString())) return;
  const std::string file = path.toStdString();
  const std::string action = load_action_for ? load_action_for(file) : "Load";
  FigureWindow* w = desktop_window();
  if (!w) return;
  Handle control = -1;
  for (Handle h : gr_.listing(w->figure()))
    if (gr_.get(h, "Callback") == Value(List{"zidudezu", action})) control = h;
  if (control < 0) return;
  add_recent(path);
  run_when_free([this, control, path] {
    // The load reads this file as if it had been chosen in its dialog.
    answers.push_front(choice_of(QFileInfo(path).absoluteFilePath()));
    const std::size_t queued = answers.size();
    run_callback(control);
    if (answers.size() == queued) answers.pop_front();  // the load ended before its dialog
  });
}

std::string QtBackend::describe_point_at(double x, double y, double rx, double ry) const {
  return describe_point ? describe_point(x, y, rx, ry) : std::string();
}

void QtBackend::highlight_at(double x, double y, double rx, double ry) {
  if (!highlight_point) return;
  run_when_free([this, x, y, rx, ry] {
    try {
      highlight_point(x, y, rx, ry);
    } catch (const std::exception& e) {
      report(runtime_, e);
    }
    sync();
  });
}

void QtBackend::menu_command(FigureWindow& window, const std::string& name) {
  if (name == "Quit") return quit();
  if (name == "Stop") {
    runtime_.control.request_stop();
    console_write("Stop asked for: the iterated run ends after the current pass\n");
    return;
  }
  if (name == "FitDrawing") return window.fit_drawing();
  if (name == "ShowLog")
    return window.set_log_visible(window.action(QStringLiteral("ShowLog"))->isChecked());
  if (name.rfind("Pause", 0) == 0) {
    const int ms = std::stoi(name.substr(5));
    runtime_.control.set_pass_pause_seconds(ms / 1000.0);
    for (int choice : pass_pause_choices_ms())
      if (QAction* a = window.action(QStringLiteral("Pause%1").arg(choice)))
        a->setChecked(choice == ms);
    if (const auto s = settings()) s->setValue(QStringLiteral("run/pauseMs"), ms);
    return;
  }
  const bool about = name == "About";
  auto* box = new QMessageBox(
      QMessageBox::Information,
      about ? QStringLiteral("About tavrel6") : QStringLiteral("tavrel6: short guide"),
      about ? QStringLiteral("tavrel6 %1\nTwo-dimensional geometric morphometrics: "
                             "semi-landmark sliding and consensus.")
                  .arg(TAV_VERSION)
            : QString::fromUtf8(kGuide),
      QMessageBox::Ok, &window);
  box->setObjectName(QString::fromStdString(name));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

void QtBackend::quit() {
  if (FigureWindow* w = desktop_window()) remember_window(*w);
  stop_before_closing();
  run_when_free([this] {
    for (Handle fig : gr_.figures())
      if (gr_.valid(fig)) gr_.remove(fig);
    sync();
  });
}

bool QtBackend::ensure_application() {
  if (!QApplication::instance()) {
    if (!display_available()) return false;
    static int argc = 1;
    static char name[] = "tavrel6";
    static char* argv[] = {name, nullptr};
    own_app_ = std::make_unique<QApplication>(argc, argv);
  }
  if (!poll_) {
    qApp->setQuitOnLastWindowClosed(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      gr_.set(0, "screensize",
              Value(row(
                  {1, 1, static_cast<double>(area.width()), static_cast<double>(area.height())})));
    }
    poll_ = std::make_unique<QTimer>();
    QObject::connect(poll_.get(), &QTimer::timeout, [this] {
      // Nothing may escape into Qt's event loop.
      try {
        sync();
      } catch (const std::exception& e) {
        report(runtime_, e);
      }
    });
    poll_->start(kPollMs);
  }
  return true;
}

bool QtBackend::shows(Handle fig) const {
  auto it = windows_.find(fig);
  return it != windows_.end() && gr_.valid(fig) && gr_.type(fig) == "figure" &&
         gr_.appdata(fig, kSerialName) == Value(it->second.serial);
}

void QtBackend::sync() {
  flush_log();
  bool current = synced_revision_ == gr_.revision() && synced_revision_ != 0;
  for (const auto& entry : windows_) current = current && shows(entry.first);
  if (current) return;
  if (!gr_.figures().empty() && !ensure_application()) return;
  for (auto it = windows_.begin(); it != windows_.end();) {
    // A figure made the main window after its window was shown gets a window of that kind.
    const bool desktop = gr_.valid(it->first) && gr_.appdata(it->first, kDesktopName) == Value(1.0);
    if (shows(it->first) && it->second.window->desktop() == desktop) {
      ++it;
      continue;
    }
    it->second.window->hide();
    it->second.window->deleteLater();
    it = windows_.erase(it);
  }
  for (Handle fig : gr_.figures()) {
    Shown& shown = windows_[fig];
    if (!shown.window) {
      shown.serial = ++next_serial_;
      gr_.set_appdata(fig, kSerialName, Value(shown.serial));
      const bool desktop = gr_.appdata(fig, kDesktopName) == Value(1.0);
      shown.window = new FigureWindow(
          runtime_.objects, fig, [this](Handle h) { return activate(h); },
          [this](Handle h) { close_figure(h); }, desktop ? this : nullptr);
      if (desktop) restore_window(*shown.window);
    } else {
      shown.window->sync();
    }
    FigureWindow* w = shown.window;
    const bool visible = gr_.get(fig, "Visible") != Value("off");
    if (visible && !w->isVisible()) {
      w->show();
      w->layout()->activate();  // the surface gets its size now, and the figure follows it
    }
    if (!visible && w->isVisible()) w->hide();
    const Value raised = gr_.get(fig, "__raised");
    if (visible && !(raised == shown.raised)) {
      if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        w->raise();
        w->activateWindow();
      }
      shown.raised = raised;
    }
  }
  synced_revision_ = gr_.revision();
}

QWidget* QtBackend::window(Handle fig) const {
  return shows(fig) ? windows_.at(fig).window : nullptr;
}

QWidget* QtBackend::widget(Handle h) const {
  if (!gr_.valid(h)) return nullptr;
  const Handle fig = gr_.figure_of(h);
  return shows(fig) ? windows_.at(fig).window->widget(h) : nullptr;
}

void QtBackend::run_when_free(std::function<void()> work) {
  held_.push_back(std::move(work));
  drain_held();
}

void QtBackend::drain_held() {
  while (!busy_ && !held_.empty()) {
    auto work = std::move(held_.front());
    held_.pop_front();
    busy_ = working_ = true;
    try {
      work();
    } catch (const std::exception& e) {
      report(runtime_, e);
    }
    busy_ = working_ = false;
  }
}

bool QtBackend::refused(const std::string& label) {
  if (!working_) return false;
  notice(busy_note(label, running_label_.empty() ? "an action" : running_label_));
  return true;
}

void QtBackend::stop_before_closing() {
  if (!working_) return;
  runtime_.control.request_stop();
  notice(
      "The window closes when the running action has ended (an iterated run ends after its "
      "current pass); nothing is left half-written.");
}

bool QtBackend::activate(Handle control) {
  if (!gr_.valid(control)) return false;
  const Value label = gr_.get(control, "String");
  if (refused(label.is_text() ? label.text() : "that control")) return false;
  run_when_free([this, control] { run_callback(control); });
  return true;
}

void QtBackend::run_callback(Handle control) {
  if (!gr_.valid(control)) return;
  const Value callback = gr_.get(control, "Callback");
  if (callback.empty() || !runtime_.run_callback) return;
  const Value label = gr_.get(control, "String");
  running_label_ = label.is_text() && !label.text().empty() ? label.text() : "an action";
  runtime_.callback_object = control;
  try {
    runtime_.run_callback(control, callback);
  } catch (const std::exception& e) {
    report(runtime_, e);
  }
  runtime_.callback_object = -1;
  running_label_.clear();
  sync();
}

void QtBackend::close_figure(Handle fig) {
  stop_before_closing();
  run_when_free([this, fig] {
    if (gr_.valid(fig)) gr_.remove(fig);
    sync();
  });
}

QWidget* QtBackend::dialog_parent() {
  return gr_.has_current_figure() ? window(gr_.gcf()) : nullptr;
}

std::optional<FileChoice> QtBackend::given_answer() {
  if (answers.empty()) return std::nullopt;
  const FileChoice c = answers.front();
  answers.pop_front();
  return c;
}

FileChoice QtBackend::open_file(const std::string& filter, const std::string& title) {
  if (std::optional<FileChoice> given = given_answer()) return *given;
  if (!ensure_application()) return no_dialog(title);
  sync();
  const QString path = QFileDialog::getOpenFileName(dialog_parent(), QString::fromStdString(title),
                                                    start_folder(), dialog_filter(filter));
  if (!path.isEmpty()) add_recent(path), remember_folder(QFileInfo(path).absolutePath());
  return choice_of(path);
}

FileChoice QtBackend::save_file(const std::string& filter, const std::string& title) {
  if (std::optional<FileChoice> given = given_answer()) return *given;
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
  if (log_tail_.size() < text.size() + 1 ||
      log_tail_.compare(log_tail_.size() - text.size() - 1, std::string::npos, text + "\n") != 0)
    log(text + "\n");
  auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("tavrel6"),
                              QString::fromStdString(text), QMessageBox::Ok, dialog_parent());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

void QtBackend::error_dialog(const std::string& text) {
  if (!ensure_application()) {
    console_write("Error: " + text + "\n");
    return;
  }
  log("Error: " + text + "\n");
  // Does not wait: a run that reports goes on to its end, as with a message.
  auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Error"),
                              QString::fromStdString(text), QMessageBox::Ok, dialog_parent());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

void QtBackend::notice(const std::string& text) {
  console_write(text + "\n");
  if (!QApplication::instance()) return;
  flush_log();
  if (FigureWindow* w = desktop_window()) w->show_notice(QString::fromStdString(text), kNoticeMs);
}

void QtBackend::serve_events() {
  if (!QApplication::instance()) return;
  if (served_.isValid() && served_.elapsed() < kServeEveryMs) return;
  // Clicks that reach a control meanwhile are refused (working_), not held.
  const bool was_busy = busy_;
  busy_ = true;
  // Nothing the window meets may escape into the computation that ticked.
  try {
    sync();
    QCoreApplication::processEvents();
  } catch (const std::exception& e) {
    report(runtime_, e);
  }
  busy_ = was_busy;
  served_.start();
}

void QtBackend::pause(double seconds) {
  const int ms = seconds > 0 ? static_cast<int>(seconds * 1000) : 0;
  if (!QApplication::instance() && (gr_.figures().empty() || !ensure_application())) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  // Windows stay alive meanwhile, but clicks wait for the running action.
  const bool was_busy = busy_;
  busy_ = true;
  sync();
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
  busy_ = was_busy;
  drain_held();
}

void QtBackend::drawnow() {
  if (!QApplication::instance() && (gr_.figures().empty() || !ensure_application())) return;
  const bool was_busy = busy_;
  busy_ = true;
  sync();
  for (auto& [fig, shown] : windows_)
    if (shown.window->isVisible()) shown.window->repaint_axes();
  QCoreApplication::processEvents();
  busy_ = was_busy;
  drain_held();
}

int QtBackend::event_loop() {
  sync();
  if (gr_.figures().empty() || !ensure_application()) return 0;
  QEventLoop loop;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, &loop, [this, &loop] {
    if (gr_.figures().empty()) loop.quit();
  });
  watch.start(kPollMs);
  loop.exec();
  sync();
  return 0;
}

void QtBackend::to_clipboard(const std::string& svg, const std::vector<std::uint8_t>& png) {
  if (!ensure_application())
    throw Error(
        "the clipboard needs a display, and there is none; export the picture to a file "
        "instead");
  auto* mime = new QMimeData;
  mime->setData(QStringLiteral("image/svg+xml"),
                QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
  QImage image;
  if (image.loadFromData(png.data(), static_cast<int>(png.size()), "PNG"))
    mime->setImageData(image);
  QGuiApplication::clipboard()->setMimeData(mime);
}

}  // namespace tav
