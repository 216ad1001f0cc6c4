// The Qt backend's events and actions: a control's callback, a dropped file or a close runs one
// at a time, the others held until it has ended or, while it runs, refused with a note; waits,
// redraws and long computations serve the windows' events meanwhile; the event loop runs until
// no figure is left.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

#include "platform/run_control.h"
#include "shell/qt/figure_window.h"
#include "shell/qt/qt_backend.h"

namespace tav {

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
      report(e);
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
  if (box_) box_->close();  // it told of the state before this action
  const Value label = gr_.get(control, "String");
  running_label_ = label.is_text() && !label.text().empty() ? label.text() : "an action";
  runtime_.callback_object = control;
  try {
    runtime_.run_callback(control, callback);
  } catch (const std::exception& e) {
    report(e);
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

void QtBackend::quit() {
  if (FigureWindow* w = desktop_window()) remember_window(*w);
  stop_before_closing();
  run_when_free([this] {
    for (Handle fig : gr_.figures())
      if (gr_.valid(fig)) gr_.remove(fig);
    sync();
  });
}

void QtBackend::serve_events() {
  if (!QApplication::instance()) return;
  if (served_.isValid() && served_.elapsed() < serve_every_ms) return;
  // Clicks that reach a control meanwhile are refused (working_), not held.
  const bool was_busy = busy_;
  busy_ = true;
  // Nothing the window meets may escape into the computation that ticked.
  try {
    sync();
    QCoreApplication::processEvents();
  } catch (const std::exception& e) {
    report(e);
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

}  // namespace tav
