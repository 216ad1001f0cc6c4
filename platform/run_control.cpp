#include "platform/run_control.h"

#include <cmath>

namespace tav {

void RunControl::set_pass_pause_seconds(double seconds) {
  pause_seconds_ = std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

}  // namespace tav
