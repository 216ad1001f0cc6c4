// The Qt backend's windows kept in line with the object model: the application object made when
// a window must first be shown, a window per figure (a main window for the figure marked as
// one), shown, hidden, raised and closed as the model says.
#include "shell/qt/qt_backend.h"

#include <QApplication>
#include <QLayout>
#include <QScreen>
#include <QTimer>

#include "platform/console.h"
#include "shell/qt/figure_window.h"

namespace tav {
namespace {

// Application data of a figure: the serial number of the window that shows it.
const char* const kSerialName = "QtWindowSerial";
// Application data of the figure that is the program's main window (value 1).
const char* const kDesktopName = "DesktopWindow";

// Whether Qt has somewhere to show windows: a platform chosen by hand, an X or Wayland display.
bool display_available() {
  return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
         qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

}  // namespace

QtBackend::QtBackend(Runtime& runtime) : runtime_(runtime), gr_(runtime.objects) {
  runtime.backend = this;
}

QtBackend::~QtBackend() {
  if (runtime_.backend == this) runtime_.backend = nullptr;
  for (auto& [fig, shown] : windows_) delete shown.window;
  poll_.reset();
}

void QtBackend::report(const std::exception& e) { console_write(std::string(e.what()) + "\n"); }

void QtBackend::flush_log() {
  if (!console_tee_.has_pending()) return;
  if (FigureWindow* w = desktop_window())
    w->append_log(QString::fromStdString(console_tee_.take()));
}

FigureWindow* QtBackend::desktop_window() const {
  for (const auto& [fig, shown] : windows_)
    if (shows(fig) && gr_.appdata(fig, kDesktopName) == Value(1.0)) return shown.window;
  return nullptr;
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
        report(e);
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

}  // namespace tav
