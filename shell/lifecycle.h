#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tav {

struct Session;

// The ordered start/stop pairs: the two runtime libraries, then every module in the order of
// the function table. Modules start once per session, and stop in the same order, libraries
// last; a module's start and stop work on the session they are given.
struct InitTerm {
  std::string name;
  std::function<void(Session&)> start, stop;
};
const std::vector<InitTerm>& init_term_table();
void start_all(Session& session);
void stop_all(Session& session);
bool started(const Session& session);

}  // namespace tav
