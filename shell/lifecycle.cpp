#include "shell/lifecycle.h"

#include "engine/session.h"
#include "shell/function_table.h"

namespace tav {
namespace {
void nothing(Session&) {}
void clear_state(Session& session) { session.state = EngineState{}; }
}  // namespace

const std::vector<InitTerm>& init_term_table() {
  static const std::vector<InitTerm> table = [] {
    std::vector<InitTerm> t;
    t.push_back({"matrix runtime", nothing, nothing});
    t.push_back({"graphics runtime", nothing, nothing});
    for (const FunctionEntry& e : function_table()) {
      if (e.name == "zidudezu")
        t.push_back({e.name, clear_state, clear_state});
      else
        t.push_back({e.name, nothing, nothing});
    }
    return t;
  }();
  return table;
}

void start_all(Session& session) {
  if (session.modules_started) return;
  for (const InitTerm& e : init_term_table()) e.start(session);
  session.modules_started = true;
}

void stop_all(Session& session) {
  if (!session.modules_started) return;
  const auto& t = init_term_table();
  for (size_t i = 2; i < t.size(); ++i) t[i].stop(session);
  t[1].stop(session);
  t[0].stop(session);
  session.modules_started = false;
}

bool started(const Session& session) { return session.modules_started; }

}  // namespace tav
