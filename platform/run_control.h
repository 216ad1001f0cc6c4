#pragma once
// What a window user tells its session's running iterated consensus: stop after the current
// pass, and how long each pass stays on the screen. Each session has its own, so a Stop in one
// window never ends another window's run. The window sets them (a click, a key, a menu); the run
// reads them between passes, possibly on another thread. It also names the action running in
// the session, so that a second one asked for meanwhile (the window serves events during long
// runs and loads) is refused.
#include <atomic>
#include <string>

namespace tav {

class RunControl {
 public:
  // Asks the running iterated run to end after its current pass (the window's Stop, Esc).
  void request_stop() { stop_ = true; }
  // Whether a stop was asked for since the last clear_stop.
  bool stop_requested() const { return stop_; }
  // Forgets an earlier request: an action of the engine calls it when it starts, a run when it
  // ends.
  void clear_stop() { stop_ = false; }

  // Seconds each pass of the iterated run stays on the screen before the next; 1 unless set.
  double pass_pause_seconds() const { return pause_seconds_; }
  // Negative or non-finite values become 0.
  void set_pass_pause_seconds(double seconds);

  // The action running in the session ("Load", "LoadProtocol", ...), or "" when none.
  const std::string& running_action() const { return action_; }
  // Names `action` as running until the scope ends.
  class Running {
   public:
    Running(RunControl& control, std::string action);
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    RunControl& control_;
    std::string previous_;
  };

 private:
  std::atomic<bool> stop_{false};
  std::atomic<double> pause_seconds_{1};
  std::string action_;
};

// What the user is told when `asked` is refused because `running` has not ended: nothing was
// done, nothing changed. Both are names as the user sees them (a control's label, an action).
std::string busy_note(const std::string& asked, const std::string& running);

}  // namespace tav
