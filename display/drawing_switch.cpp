#include <atomic>

#include "display/display.h"

namespace tav {
namespace {

std::atomic<bool> drawing_on{true};

}  // namespace

bool set_drawing(bool on) { return drawing_on.exchange(on); }

bool drawing() { return drawing_on.load(); }

}  // namespace tav
