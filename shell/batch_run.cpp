#include <unistd.h>

#include <fstream>
#include <iostream>

#include "consensus/consensus.h"
#include "display/display.h"
#include "display/render.h"
#include "engine/controls.h"
#include "engine/engine_state.h"
#include "engine/files.h"
#include "engine/tps.h"
#include "engine/zidudezu.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/format.h"
#include "shell/batch.h"
#include "shell/lifecycle.h"

namespace tav {
namespace {

// An absolute path, so that the dialogs' change of folder does not move later relative names.
std::string absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return path;
  return std::string(buf) + "/" + path;
}

// Reports each pass of the iterated run on a terminal.
class ProgressConsole : public std::streambuf {
 public:
  explicit ProgressConsole(std::ostream* echo) : echo_(echo) {}
 protected:
  int overflow(int c) override {
    if (c == EOF) return 0;
    line_ += static_cast<char>(c);
    if (c == '\n') flush_line();
    return c;
  }
 private:
  void flush_line() {
    if (echo_) *echo_ << line_;
    if (line_.rfind("itercount2 = ", 0) == 0 && ::isatty(2)) std::cerr << "pass " << line_.substr(13);
    line_.clear();
  }
  std::ostream* echo_;
  std::string line_;
};

bool step(ScriptedBackend& ui, const std::string& action, const std::string& path, std::ostream& err) {
  ui.choose(path);
  try {
    zidudezu(Value(action));
  } catch (const std::exception& e) {
    err << "tavrel6-batch: " << action << " " << path << ": " << e.what() << "\n";
    return false;
  }
  if (!last_action_done()) {
    err << "tavrel6-batch: " << action << " " << path << " did not complete\n";
    return false;
  }
  return true;
}

// Without a protocol: the plain consensus, and every point a landmark.
void plain_run() {
  EngineState& s = engine_state();
  const Consensus c = getconsensus(s.DATA);
  s.REFERENCE = c.y;
  s.DATA = c.xpt;
  s.lmtypelist = Row::Zero((s.DATA.cols() - 1) / 2);
}

// Runs one file-writing step; a failure is reported and ends the run.
template <class F>
bool write_step(const char* option, const std::string& path, std::ostream& err, F&& text) {
  try {
    write_file_atomically(path, text());
    return true;
  } catch (const std::exception& e) {
    err << "tavrel6-batch: " << option << " " << path << ": " << e.what() << "\n";
    return false;
  }
}

std::string protocol_text(const Matrix& p) {
  std::string text;
  for (Index i = 0; i < p.rows(); ++i)
    text += sprintf_m("%g %g %g %g\n", {Value(p(i, 0)), Value(p(i, 1)), Value(p(i, 2)), Value(p(i, 3))});
  return text;
}

std::string suggested_protocol(const std::string& data) {
  if (!is_tps(data))
    throw Error("the --data file is not a TPS file (its first line is not LM=...); write the protocol by hand");
  return protocol_text(suggest_protocol(read_tps(data).layout));
}

}  // namespace

int run_batch(const BatchOptions& given, std::ostream& err) {
  // Every name is made absolute first: each dialog answer moves the current folder.
  BatchOptions o = given;
  const std::string start_folder = absolute(".");
  for (std::string* path : {&o.data, &o.reference, &o.protocol, &o.save, &o.save_lmslm, &o.save_lm,
                            &o.save_reference, &o.save_reference_lmslm, &o.save_reference_lm, &o.plot,
                            &o.save_tps, &o.suggest_protocol})
    *path = absolute(*path);
  ScriptedBackend backend;
  backend.echo_to_stderr = true;
  reset_runtime(&backend);
  start_all();
  ProgressConsole progress(o.verbose ? &std::cout : nullptr);
  std::ostream quiet(&progress);
  std::ostream* previous = set_console(&quiet);
  const int old_digits = o.digits ? set_g_precision(o.digits) : g_precision();
  const Handle fig = make_headless_window();
  // Without a picture to write, the actions' plots are not built.
  const bool drew = set_drawing(!o.plot.empty());
  auto set = [&](const char* tag, bool on) { gr().set(gr().find_by_tag(tag).front(), "Value", Value(on ? 1.0 : 0.0)); };
  set("IterBox", o.iterate);
  set("DistanceBox", o.distance);
  set("NoAlignButton", o.no_align);
  set("CurveButton", true);

  bool ok = step(backend, "Load", o.data, err);
  if (ok && !o.suggest_protocol.empty())
    ok = write_step("--suggest-protocol", o.suggest_protocol, err, [&] { return suggested_protocol(o.data); });
  if (ok && !o.reference.empty()) ok = step(backend, "LoadReference", o.reference, err);
  if (ok && !o.protocol.empty()) ok = step(backend, "LoadProtocol", o.protocol, err);
  if (ok && o.protocol.empty()) {
    try {
      plain_run();
    } catch (const std::exception& e) {
      err << "tavrel6-batch: " << e.what() << "\n";
      ok = false;
    }
  }
  const std::pair<const std::string*, const char*> saves[] = {
      {&o.save, "Save"}, {&o.save_lmslm, "SaveLMSLM"}, {&o.save_lm, "SaveLM"},
      {&o.save_reference, "SaveReference"}, {&o.save_reference_lmslm, "SaveReferenceLMSLM"},
      {&o.save_reference_lm, "SaveReferenceLM"}};
  for (const auto& [file, action] : saves)
    if (ok && !file->empty()) ok = step(backend, action, *file, err);
  if (ok && !o.save_tps.empty())
    ok = write_step("--save-tps", o.save_tps, err, [&] {
      const EngineState& s = engine_state();
      return tps_text(s.DATA, s.specimen_ids, o.digits ? o.digits : 10);
    });
  if (ok && !o.plot.empty()) {
    try {
      export_figure(gr(), fig, o.plot);
    } catch (const std::exception& e) {
      err << "tavrel6-batch: --plot: " << e.what() << "\n";
      ok = false;
    }
  }
  set_drawing(drew);
  set_g_precision(old_digits);
  set_console(previous);
  stop_all();
  // Loading moved the current folder; the caller finds it where it was.
  if (!start_folder.empty() && ::chdir(start_folder.c_str()) != 0) {
    // The folder was current a moment ago; failing to return to it only affects later relative names.
  }
  return ok ? 0 : 1;
}

}  // namespace tav
