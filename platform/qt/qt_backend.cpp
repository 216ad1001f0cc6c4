#include "platform/qt/qt_backend.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <thread>

#include "platform/console.h"
#include "platform/qt/figure_window.h"

namespace tav {
namespace {

// How often the windows look for changes of the object model while events are served.
constexpr int kPollMs = 30;
// Application data of a figure: the serial number of the window that shows it.
const char* const kSerialName = "QtWindowSerial";

// The dialog filter: the pattern asked for, with "*" beside it so that names without an
// extension are listed too.
QString dialog_filter(const std::string& filter) {
  const QString pattern = QString::fromStdString(filter.empty() ? "*.*" : filter);
  return QStringLiteral("All files (%1 *)").arg(pattern);
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

void report(const std::exception& e) {
  set_last_error(e.what());
  console_write(std::string(e.what()) + "\n");
}

}  // namespace

QtBackend::QtBackend() = default;

QtBackend::~QtBackend() {
  for (auto& [fig, shown] : windows_) delete shown.window;
  poll_.reset();
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
      gr().set(0, "screensize", Value(row({1, 1, static_cast<double>(area.width()),
                                           static_cast<double>(area.height())})));
    }
    poll_ = std::make_unique<QTimer>();
    QObject::connect(poll_.get(), &QTimer::timeout, [this] {
      // Nothing may escape into Qt's event loop.
      try {
        sync();
      } catch (const std::exception& e) {
        report(e);
      }
    });
    poll_->start(kPollMs);
  }
  return true;
}

bool QtBackend::shows(Handle fig) const {
  auto it = windows_.find(fig);
  return it != windows_.end() && gr().valid(fig) && gr().type(fig) == "figure" &&
         gr().appdata(fig, kSerialName) == Value(it->second.serial);
}

void QtBackend::sync() {
  bool current = synced_revision_ == gr().revision() && synced_revision_ != 0;
  for (const auto& entry : windows_) current = current && shows(entry.first);
  if (current) return;
  if (!gr().figures().empty() && !ensure_application()) return;
  for (auto it = windows_.begin(); it != windows_.end();) {
    if (shows(it->first)) {
      ++it;
      continue;
    }
    it->second.window->hide();
    it->second.window->deleteLater();
    it = windows_.erase(it);
  }
  for (Handle fig : gr().figures()) {
    Shown& shown = windows_[fig];
    if (!shown.window) {
      shown.serial = ++next_serial_;
      gr().set_appdata(fig, kSerialName, Value(shown.serial));
      shown.window = new FigureWindow(fig, [this](Handle h) { activate(h); },
                                      [this](Handle h) { close_figure(h); });
    } else {
      shown.window->sync();
    }
    FigureWindow* w = shown.window;
    const bool visible = gr().get(fig, "Visible") != Value("off");
    if (visible && !w->isVisible()) w->show();
    if (!visible && w->isVisible()) w->hide();
    const Value raised = gr().get(fig, "__raised");
    if (visible && !(raised == shown.raised)) {
      if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        w->raise();
        w->activateWindow();
      }
      shown.raised = raised;
    }
  }
  synced_revision_ = gr().revision();
}

QWidget* QtBackend::window(Handle fig) const {
  return shows(fig) ? windows_.at(fig).window : nullptr;
}

QWidget* QtBackend::widget(Handle h) const {
  if (!gr().valid(h)) return nullptr;
  const Handle fig = gr().figure_of(h);
  return shows(fig) ? windows_.at(fig).window->widget(h) : nullptr;
}

void QtBackend::run_when_free(std::function<void()> work) {
  if (busy_) {
    held_.push_back(std::move(work));
    return;
  }
  busy_ = true;
  work();
  busy_ = false;
  drain_held();
}

void QtBackend::drain_held() {
  while (!busy_ && !held_.empty()) {
    auto work = std::move(held_.front());
    held_.pop_front();
    busy_ = true;
    work();
    busy_ = false;
  }
}

void QtBackend::activate(Handle control) {
  run_when_free([this, control] { run_callback(control); });
}

void QtBackend::run_callback(Handle control) {
  if (!gr().valid(control)) return;
  const Value callback = gr().get(control, "Callback");
  if (callback.empty() || !rt().run_callback) return;
  rt().callback_object = control;
  try {
    rt().run_callback(control, callback);
  } catch (const std::exception& e) {
    report(e);
  }
  rt().callback_object = -1;
  sync();
}

void QtBackend::close_figure(Handle fig) {
  run_when_free([this, fig] {
    if (gr().valid(fig)) gr().remove(fig);
    sync();
  });
}

QWidget* QtBackend::dialog_parent() {
  return gr().has_current_figure() ? window(gr().gcf()) : nullptr;
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
  return choice_of(QFileDialog::getOpenFileName(dialog_parent(), QString::fromStdString(title),
                                                QDir::currentPath(), dialog_filter(filter)));
}

FileChoice QtBackend::save_file(const std::string& filter, const std::string& title) {
  if (std::optional<FileChoice> given = given_answer()) return *given;
  if (!ensure_application()) return no_dialog(title);
  sync();
  return choice_of(QFileDialog::getSaveFileName(dialog_parent(), QString::fromStdString(title),
                                                QDir::currentPath(), dialog_filter(filter)));
}

void QtBackend::message(const std::string& text) {
  if (!ensure_application()) {
    console_write(text + "\n");
    return;
  }
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
  QMessageBox::critical(dialog_parent(), QStringLiteral("Error"), QString::fromStdString(text));
}

void QtBackend::pause(double seconds) {
  const int ms = seconds > 0 ? static_cast<int>(seconds * 1000) : 0;
  if (!QApplication::instance() && (gr().figures().empty() || !ensure_application())) {
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
  if (!QApplication::instance() && (gr().figures().empty() || !ensure_application())) return;
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
  if (gr().figures().empty() || !ensure_application()) return 0;
  QEventLoop loop;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, &loop, [&loop] {
    if (gr().figures().empty()) loop.quit();
  });
  watch.start(kPollMs);
  loop.exec();
  sync();
  return 0;
}

void QtBackend::to_clipboard(const std::string& svg, const std::vector<std::uint8_t>& png) {
  if (!ensure_application())
    throw Error("the clipboard needs a display, and there is none; export the picture to a file "
                "instead");
  auto* mime = new QMimeData;
  mime->setData(QStringLiteral("image/svg+xml"), QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
  QImage image;
  if (image.loadFromData(png.data(), static_cast<int>(png.size()), "PNG")) mime->setImageData(image);
  QGuiApplication::clipboard()->setMimeData(mime);
}

}  // namespace tav
