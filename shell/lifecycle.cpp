#include "shell/lifecycle.h"

#include "engine/session.h"
#include "shell/function_table.h"

namespace tav {
namespace {
bool is_started = false;
}

const std::vector<InitTerm>& init_term_table() {
  static const std::vector<InitTerm> table = [] {
    std::vector<InitTerm> t;
    t.push_back({"matrix runtime", [] {}, [] {}});
    t.push_back({"graphics runtime", [] {}, [] {}});
    for (const FunctionEntry& e : function_table()) {
      if (e.name == "zidudezu")
        t.push_back({e.name, [] { current_session().state = EngineState{}; },
                     [] { current_session().state = EngineState{}; }});
      else
        t.push_back({e.name, [] {}, [] {}});
    }
    return t;
  }();
  return table;
}

void start_all() {
  if (is_started) return;
  for (const InitTerm& e : init_term_table()) e.start();
  is_started = true;
}

void stop_all() {
  if (!is_started) return;
  const auto& t = init_term_table();
  for (size_t i = 2; i < t.size(); ++i) t[i].stop();
  t[1].stop();
  t[0].stop();
  is_started = false;
}

bool started() { return is_started; }

}  // namespace tav
