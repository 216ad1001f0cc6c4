#include "platform/progress.h"

namespace tav {
namespace {
thread_local ProgressListener* listening = nullptr;
}

void progress_tick() {
  if (listening) listening->tick();
}

bool progress_listened() { return listening != nullptr; }

ProgressScope::ProgressScope(ProgressListener& listener) : previous_(listening) {
  listening = &listener;
}

ProgressScope::~ProgressScope() { listening = previous_; }

}  // namespace tav
