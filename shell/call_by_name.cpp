#include "engine/session.h"
#include "shell/function_table.h"

namespace tav {
namespace {

struct Found {
  const FunctionEntry* entry = nullptr;
  std::string file;  // the module (or module/local) the count texts name
  int line = 1;
};

Found find_local(const FunctionEntry& module, const std::string& local) {
  for (size_t i = 0; i < module.locals.size(); ++i)
    if (module.locals[i].name == local) {
      const int line = i < module.local_lines.size() ? module.local_lines[i] : 1;
      return {&module.locals[i], module.name + "/" + local, line};
    }
  return {};
}

Found find(const std::string& running, const std::string& name) {
  const auto& table = function_table();
  for (const auto& module : table)
    if (module.name == running) {
      Found f = find_local(module, name);
      if (f.entry) return f;
    }
  for (const auto& e : table)
    if (e.name == name) return {&e, e.name, 1};
  const size_t slash = name.find('/');
  if (slash != std::string::npos)
    for (const auto& module : table)
      if (module.name == name.substr(0, slash)) return find_local(module, name.substr(slash + 1));
  return {};
}
}  // namespace

std::string count_error_text(const std::string& file, int line, const std::string& name,
                             bool outputs, int declared) {
  return "Run-time Error: File: " + file + " Line: " + std::to_string(line) +
         " Column: 1 The function \"" + name +
         "\" was called with more than the declared number of " + (outputs ? "outputs" : "inputs") +
         " (" + std::to_string(declared) + ").";
}

List call_by_name(Session& session, const std::string& name, int nout, const List& in) {
  const Found f = find(session.running_module, name);
  if (!f.entry)
    throw Error("Undefined function \"" + name + "\": no function of that name is known");
  const FunctionEntry& e = *f.entry;
  if (e.outputs >= 0 && nout > e.outputs)
    throw Error(count_error_text(f.file, f.line, f.file, true, e.outputs));
  if (e.inputs >= 0 && static_cast<int>(in.size()) > e.inputs)
    throw Error(count_error_text(f.file, f.line, f.file, false, e.inputs));
  const size_t slash = f.file.find('/');
  RunningModule guard(session, slash == std::string::npos ? f.file : f.file.substr(0, slash));
  List out = e.entry(session, in, nout);
  if (static_cast<int>(out.size()) > nout) out.resize(static_cast<size_t>(std::max(nout, 0)));
  return out;
}

RunningModule::RunningModule(Session& session, const std::string& name)
    : session_(session), previous_(session.running_module) {
  session.running_module = name;
}
RunningModule::~RunningModule() { session_.running_module = previous_; }

}  // namespace tav
