#pragma once
// What a window user tells its session's running iterated consensus: stop after the current
// pass, and how long each pass stays on the screen. Each session has its own, so a Stop in one
// window never ends another window's run. The window sets them (a click, a key, a menu); the run
// reads them between passes, possibly on another thread.
#include <atomic>

namespace tav {

class RunControl {
 public:
  // Asks the running iterated run to end after its current pass (the window's Stop, Esc).
  void request_stop() { stop_ = true; }
  // Whether a stop was asked for since the last clear_stop.
  bool stop_requested() const { return stop_; }
  // Forgets an earlier request: a run calls it when it starts and when it ends.
  void clear_stop() { stop_ = false; }

  // Seconds each pass of the iterated run stays on the screen before the next; 1 unless set.
  double pass_pause_seconds() const { return pause_seconds_; }
  // Negative or non-finite values become 0.
  void set_pass_pause_seconds(double seconds);

 private:
  std::atomic<bool> stop_{false};
  std::atomic<double> pause_seconds_{1};
};

}  // namespace tav
