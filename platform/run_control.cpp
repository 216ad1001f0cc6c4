#include "platform/run_control.h"

#include <cmath>

namespace tav {
namespace {
bool stop_asked = false;
double pause_seconds = 1;
}  // namespace

void request_stop() { stop_asked = true; }
bool stop_requested() { return stop_asked; }
void clear_stop() { stop_asked = false; }

double pass_pause_seconds() { return pause_seconds; }
void set_pass_pause_seconds(double seconds) {
  pause_seconds = std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

}  // namespace tav
