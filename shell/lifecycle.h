#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tav {

// The ordered start/stop pairs: the two runtime libraries, then every module in the order of
// the function table. Modules start once, and stop in the same order, libraries last.
struct InitTerm {
  std::string name;
  std::function<void()> start, stop;
};
const std::vector<InitTerm>& init_term_table();
void start_all();
void stop_all();
bool started();

}  // namespace tav
