#pragma once
// One action of a session's engine from its start to its end. While it runs, the session's
// RunControl names it, so that a second action asked for meanwhile is refused; the ticks of its
// long computations (the sliding walks, the reading of a sample) reach the session's run
// listeners and the window, which serves its events meanwhile.
#include <string>

#include "engine/run_observer.h"
#include "platform/console.h"
#include "platform/parallel.h"
#include "platform/progress.h"
#include "platform/run_control.h"

namespace tav {

struct Session;

// When an action of the session is running: tells the user that `asked` (what the user sees
// of the second action: a control's label, an action's name) is not done, and returns true;
// nothing changes. Returns false when nothing runs.
bool refuse_while_running(Session& session, const std::string& asked);

class ActionScope {
 public:
  ActionScope(Session& session, const std::string& action);
  ActionScope(const ActionScope&) = delete;
  ActionScope& operator=(const ActionScope&) = delete;

 private:
  // Passes the ticks on to the session's backend, which serves the window's events.
  class WindowEvents : public RunObserver {
   public:
    explicit WindowEvents(Session& session) : session_(session) {}
    void tick() override;

   private:
    Session& session_;
  };

  RunControl::Running running_;
  ConsoleScope log_;
  ThreadCountScope threads_;
  WindowEvents window_;
  RunObservers listeners_;
  ProgressScope ticks_;
};

}  // namespace tav
