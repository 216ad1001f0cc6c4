#include "engine/session.h"

#include <memory>

namespace tav {
namespace {
thread_local Session* bound_session = nullptr;
thread_local std::unique_ptr<Session> own_session;
}  // namespace

Session& current_session() {
  if (bound_session) return *bound_session;
  if (!own_session) own_session = std::make_unique<Session>();
  return *own_session;
}

SessionScope::SessionScope(Session& s) : previous_(bound_session), runtime_(s.runtime) {
  bound_session = &s;
}
SessionScope::~SessionScope() { bound_session = previous_; }

}  // namespace tav
