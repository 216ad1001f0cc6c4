#include "platform/run_control.h"

#include <cmath>
#include <utility>

namespace tav {

void RunControl::set_pass_pause_seconds(double seconds) {
  pause_seconds_ = std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

RunControl::Running::Running(RunControl& control, std::string action)
    : control_(control), previous_(std::exchange(control.action_, std::move(action))) {}

RunControl::Running::~Running() { control_.action_ = std::move(previous_); }

namespace {
// A name as the user sees it, quoted, without a label's trailing ellipsis.
std::string quoted(std::string name) {
  const std::string ellipsis = "\u2026";
  if (name.size() >= ellipsis.size() &&
      name.compare(name.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0)
    name.resize(name.size() - ellipsis.size());
  return "\"" + name + "\"";
}
}  // namespace

std::string busy_note(const std::string& asked, const std::string& running) {
  return "Busy: " + quoted(asked) + " was not done, because " + quoted(running) +
         " is still running; nothing changed. Wait for it to end (Stop or Esc ends an iterated "
         "run after its current pass).";
}

}  // namespace tav
