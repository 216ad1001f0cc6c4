#include "engine/action_scope.h"

#include "engine/session.h"

namespace tav {

bool refuse_while_running(Session& session, const std::string& asked) {
  const std::string& running = session.runtime.control.running_action();
  if (running.empty()) return false;
  session.ui().notice(busy_note(asked, running));
  return true;
}

void ActionScope::WindowEvents::tick() { session_.ui().serve_events(); }

ActionScope::ActionScope(Session& session, const std::string& action)
    : running_(session.runtime.control, action),
      log_(session.log),
      threads_(session.threads),
      window_(session),
      ticks_(listeners_) {
  // A Stop asked for from now on, while the action prepares its run too, ends that run.
  session.runtime.control.clear_stop();
  listeners_.add(window_);
  for (RunObserver* l : session.observers) listeners_.add(*l);
}

}  // namespace tav
