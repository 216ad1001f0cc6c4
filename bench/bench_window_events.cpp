// How long the window goes without handling events while it loads and runs on a large sample.
// The real window (offscreen unless a platform is set) and engine; a timer asks to fire every
// millisecond, and every firing is an event handled. From the click to the action's end and
// the window's repaint (the event loop runs 0.5 s more), the longest wait between two
// firings is the longest the window did not answer.
//
//   bench_window_events DIR [N]
//
// DIR from `python3 scripts/make_example.py DIR 5000 160 36`. Measured: Load of DIR's sample;
// the distance-sliding run on it; the iterated run on its first N specimens (500 unless
// given), ended by Stop after its first pass.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/session.h"
#include "platform/console.h"
#include "shell/callback_runner.h"
#include "shell/main_window.h"
#include "shell/qt/qt_backend.h"

namespace {

using tav::Handle;

// The times at which the timer fired, in milliseconds since the action's click.
class Firings {
 public:
  void start() {
    clock_.start();
    at_ = {0};
  }
  void fired() { at_.push_back(clock_.nsecsElapsed() / 1e6); }
  void report(const char* what, double action_ms) {
    fired();
    std::vector<double> gaps;
    std::size_t longest = 1;
    for (std::size_t i = 1; i < at_.size(); ++i) {
      gaps.push_back(at_[i] - at_[i - 1]);
      if (gaps.back() > at_[longest] - at_[longest - 1]) longest = i;
    }
    // The longest wait within the action: up to its end, not counting the repaint after it.
    double within = 0;
    for (std::size_t i = 1; i < at_.size() && at_[i - 1] < action_ms; ++i)
      within = std::max(within, std::min(at_[i], action_ms) - at_[i - 1]);
    if (std::getenv("TAV_GAPS_LISTED"))
      for (std::size_t i = 1; i < at_.size(); ++i)
        if (at_[i] - at_[i - 1] > 30) std::printf("  gap %.0f-%.0f ms\n", at_[i - 1], at_[i]);
    std::sort(gaps.begin(), gaps.end());
    std::printf(
        "%-40s action %7.0f ms  firings %5zu  longest gap %5.0f ms (%.0f-%.0f ms)  within the "
        "action %5.0f ms  99%% %4.0f ms\n",
        what, action_ms, gaps.size(), gaps.back(), at_[longest - 1], at_[longest], within,
        gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)]);
  }
  double now() const { return clock_.nsecsElapsed() / 1e6; }

 private:
  QElapsedTimer clock_;
  std::vector<double> at_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_window_events DIR [N]\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string dir = argv[1];
  const int n = argc > 2 ? std::atoi(argv[2]) : 500;

  tav::Session session;
  tav::QtBackend backend(session.runtime);
  tav::ConsoleCapture quiet;
  tav::install_callback_runner(session);
  tav::Objects& gr = session.objects();
  backend.drawnow();
  gr.set(0, "screensize", tav::Value(tav::row({1, 1, 1920, 1080})));
  tav::open_main_window(session.runtime);
  backend.drawnow();

  // The first n specimens, for the iterated run.
  const std::string part = dir + "/first.txt";
  {
    std::ifstream in(dir + "/shells.txt");
    std::ofstream out(part);
    std::string line;
    for (int i = 0; i < n && std::getline(in, line); ++i) out << line << '\n';
  }

  Firings firings;
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, [&] { firings.fired(); });
  timer.start(1);
  const auto set = [&](const char* tag, double v) {
    gr.set(gr.find_by_tag(tag).at(0), "Value", tav::Value(v));
  };
  const auto click = [&](const char* what, const char* tag, const std::string& path) {
    backend.answers.push_back(tav::FileChoice{path, ""});
    firings.start();
    qobject_cast<QAbstractButton*>(backend.widget(gr.find_by_tag(tag).at(0)))->click();
    const double action_ms = firings.now();
    QEventLoop after;
    QTimer::singleShot(500, &after, &QEventLoop::quit);
    after.exec();
    firings.report(what, action_ms);
  };

  click("Load, 5,000 x 200", "LoadButton", dir + "/shells.txt");
  set("DistanceBox", 1);
  click("distance-sliding run, 5,000 x 200", "LoadProtocolButton", dir + "/shells_protocol.txt");
  click("Load, first specimens", "LoadButton", part);
  set("DistanceBox", 0);
  set("IterBox", 1);
  session.runtime.control.set_pass_pause_seconds(0);
  // Stop at the first event handled in the run (at a tick of its first slide, after the run
  // has cleared earlier requests): it ends after its first pass.
  QTimer stopper;
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    if (!session.runtime.control.running_action().empty()) {
      session.runtime.control.request_stop();
      stopper.stop();
    }
  });
  stopper.start(1);
  click(("iterated run, first pass, " + std::to_string(n) + " x 200").c_str(), "LoadProtocolButton",
        dir + "/shells_protocol.txt");
  return 0;
}
