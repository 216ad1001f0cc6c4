#pragma once
// Call by name: every named function of the program with its declared counts of inputs and
// results, and the thin adapter that turns a list of values into a typed call.
#include <functional>
#include <string>
#include <vector>

#include "platform/value.h"

namespace tav {

struct Session;

// Adapter: the session of the running program, inputs as given (possibly fewer than
// declared), nout results wanted; returns at most nout results (fewer when the function has
// none to give).
using Adapter = std::function<List(Session& session, const List& in, int nout)>;

// Declared count: k >= 0 fixed; -1 any number; -(n+1) n fixed ones then any number more.
struct FunctionEntry {
  std::string name;
  Adapter entry;
  int inputs = 0, outputs = 0;
  std::vector<FunctionEntry> locals;  // functions only their module calls by name
  std::vector<int> local_lines;       // line at which each local function is declared
};

const std::vector<FunctionEntry>& function_table();

// Calls a function by name on the session, looking first in the local table of the module whose
// code is running, then in the whole table ("module/local" reaches a local function from anywhere).
// Raises Error for an unknown name and for more inputs or results than declared.
List call_by_name(Session& session, const std::string& name, int nout, const List& in);

// Makes `name` the session's running module (whose local functions a call by name finds
// first) while the guard lives; the one before is back afterwards.
class RunningModule {
 public:
  RunningModule(Session& session, const std::string& name);
  ~RunningModule();
  RunningModule(const RunningModule&) = delete;
  RunningModule& operator=(const RunningModule&) = delete;

 private:
  Session& session_;
  std::string previous_;
};

// The count-check texts.
std::string count_error_text(const std::string& file, int line, const std::string& name,
                             bool outputs, int declared);

}  // namespace tav
