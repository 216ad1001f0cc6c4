#include <fstream>
#include <functional>
#include <iostream>
#include <new>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "consensus/consensus.h"
#include "display/display.h"
#include "display/render.h"
#include "engine/consensus_run.h"
#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/run_observer.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/formats.h"
#include "formats/input.h"
#include "formats/sliders.h"
#include "formats/tps.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/format.h"
#include "shell/batch.h"
#include "shell/lifecycle.h"

namespace tav {
namespace {

// Reports each pass of the iterated run on a terminal.
class PassCount : public RunObserver {
 public:
  void pass_measured(double, int itercount2) override {
    if (::isatty(2)) std::cerr << "pass " << itercount2 << "\n";
  }
};

// A stream that drops what it is given: the console of a run without --verbose.
class Discard : public std::streambuf {
 protected:
  int overflow(int c) override { return c == EOF ? 0 : c; }
};

// What a run changes, each restored when the run ends however it ends. Of the calling thread:
// its console. Of the session, which may be the caller's: its %g digits, its drawing switch and
// its started modules.
class ConsoleTo {
 public:
  explicit ConsoleTo(std::ostream* out) : previous_(set_console(out)) {}
  ~ConsoleTo() { set_console(previous_); }

 private:
  std::ostream* previous_;
};

class Precision {
 public:
  Precision(Session& session, int digits) : session_(session), previous_(session.digits) {
    if (digits) session.digits = digits;
  }
  ~Precision() { session_.digits = previous_; }

 private:
  Session& session_;
  int previous_;
};

class Drawing {
 public:
  Drawing(Objects& g, bool on) : g_(g), previous_(g.set_drawing(on)) {}
  ~Drawing() { g_.set_drawing(previous_); }

 private:
  Objects& g_;
  bool previous_;
};

class Modules {
 public:
  explicit Modules(Session& session) : session_(session) { start_all(session); }
  ~Modules() { stop_all(session_); }

 private:
  Session& session_;
};

// The run's backend answers the session's dialogs and its pass count follows the session's
// runs while the run lasts.
class Served {
 public:
  Served(Session& session, Backend& backend, RunObserver& listener)
      : session_(session), previous_(session.runtime.backend) {
    session.runtime.backend = &backend;
    session.observers.push_back(&listener);
  }
  ~Served() {
    session_.observers.pop_back();
    session_.runtime.backend = previous_;
  }

 private:
  Session& session_;
  Backend* previous_;
};

// One status line per step on standard error, unless --quiet.
class Status {
 public:
  Status(std::ostream& err, bool quiet) : err_(err), quiet_(quiet) {}
  void operator()(const std::string& line) const {
    if (!quiet_) err_ << "tavrel6-batch: " << line << "\n";
  }

 private:
  std::ostream& err_;
  bool quiet_;
};

// The boxes and error boxes the actions showed since the last call, on `err`.
void forward_boxes(ScriptedBackend& ui, std::ostream& err) {
  for (const std::string& m : ui.messages) err << m << "\n";
  for (const std::string& m : ui.errors) err << "error: " << m << "\n";
  ui.messages.clear();
  ui.errors.clear();
}

bool step(Session& session, ScriptedBackend& ui, const std::string& action, const std::string& path,
          std::ostream& err) {
  ui.choose(path);
  try {
    run_action(session, action);
  } catch (const std::exception& e) {
    forward_boxes(ui, err);
    err << "tavrel6-batch: " << action << " " << shown_name(path) << ": " << e.what() << "\n";
    ui.answers.clear();
    return false;
  }
  forward_boxes(ui, err);
  // An action that stops before its dialog leaves the answer unused: it must not serve the next.
  ui.answers.clear();
  if (!session.action_done) {
    err << "tavrel6-batch: " << action << " " << shown_name(path) << " did not complete\n";
    return false;
  }
  return true;
}

std::string counts(const Matrix& x, const char* what) {
  return std::to_string(x.rows()) + " " + what + ", " + std::to_string((x.cols() - 1) / 2) +
         " points";
}

// Without a protocol: the plain consensus, and every point a landmark. "Load" computed it
// already on the same sample; it is taken from there.
void plain_run(EngineState& s) {
  Consensus c = s.loaded_plain ? std::move(*s.loaded_plain) : plain_consensus(s.LOADED);
  s.loaded_plain.reset();
  refuse_not_finite(c, s.curves);
  s.REFERENCE = c.y;
  s.DATA = std::move(c.xpt);
  s.lmtypelist = Row::Zero((s.DATA.cols() - 1) / 2);
  s.last_run = {"plain Procrustes consensus (no protocol, no sliding)", 0, RunEnd::converged, ""};
}

// The C library keeps memory the run freed for later blocks; the picture of --plot is larger
// than any of them, so it would come on top. Handed back first, the process never holds both.
void give_back_freed_memory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

std::string run_line(const RunReport& r) {
  std::string line = "run: " + r.mode;
  if (r.passes == 0) return line;
  line += ", " + std::to_string(r.passes) + (r.passes == 1 ? " pass, " : " passes, ");
  switch (r.end) {
    case RunEnd::converged: return line + "converged";
    case RunEnd::settled: return line + "settled above the tolerance 1e-5 (an earlier pass kept)";
    case RunEnd::pass_limit: return line + "stopped at the pass limit without converging";
  }
  return line;
}

// Runs one file-writing step; a failure is reported and ends the run.
template <class F>
bool write_step(const char* option, const std::string& path, std::ostream& err, F&& text) {
  try {
    write_file_atomically(path, text());
    return true;
  } catch (const std::bad_alloc&) {
    err << "tavrel6-batch: " << option << " " << shown_name(path) << ": "
        << too_large_for_memory(shown_name(path)).what() << "\n";
    return false;
  } catch (const std::exception& e) {
    err << "tavrel6-batch: " << option << " " << shown_name(path) << ": " << e.what() << "\n";
    return false;
  }
}

std::string protocol_text(const Matrix& p) {
  std::string text;
  for (Index i = 0; i < p.rows(); ++i)
    text += sprintf_m("%g %g %g %g\n",
                      {Value(p(i, 0)), Value(p(i, 1)), Value(p(i, 2)), Value(p(i, 3))});
  return text;
}

// From the layout the Load step read, so the data file is read once (a pipe holds it only once).
std::string suggested_protocol(const TpsLayout& layout) {
  if (layout.points() == 0)
    throw Error(
        "the --data file is not a TPS file (its first line is not LM=...); write the protocol by "
        "hand");
  return protocol_text(suggest_protocol(layout));
}

}  // namespace

int run_batch(const BatchOptions& o, std::ostream& err) {
  Session session;
  return run_batch(o, err, session);
}

int run_batch(const BatchOptions& o, std::ostream& err, Session& session) {
  ScriptedBackend backend;
  backend.echo_to_stderr = false;  // step() forwards the boxes to err, in order
  PassCount passes;
  const Served served(session, backend, passes);
  const Modules modules(session);
  Discard discard;
  std::ostream quiet(&discard);
  const ConsoleTo console(o.verbose ? &std::cout : &quiet);
  const Precision precision(session, o.digits);
  Objects& g = session.objects();
  const Handle fig = make_headless_window(g);
  // Without a picture to write, the actions' plots are not built.
  const Drawing drawing(g, !o.plot.empty());
  auto set = [&](const char* tag, bool on) {
    g.set(g.find_by_tag(tag).front(), "Value", Value(on ? 1.0 : 0.0));
  };
  set("IterBox", o.iterate);
  set("DistanceBox", o.distance);
  set("NoAlignButton", o.no_align);
  set("CurveButton", true);

  const Status status(err, o.quiet);
  const EngineState& state = session.state;
  for (const std::string& w : o.warnings) err << "tavrel6-batch: warning: " << w << "\n";
  bool ok = step(session, backend, "Load", o.data, err);
  if (ok)
    status("read " + shown_name(o.data) + " as " + state.data_format + ": " +
           counts(state.DATA, "specimens"));
  if (ok && !o.suggest_protocol.empty()) {
    ok = write_step("--suggest-protocol", o.suggest_protocol, err,
                    [&] { return suggested_protocol(state.tps_layout); });
    if (ok) status("wrote " + shown_name(o.suggest_protocol) + " (--suggest-protocol)");
  }
  if (ok && !o.reference.empty()) {
    ok = step(session, backend, "LoadReference", o.reference, err);
    if (ok)
      status("read " + shown_name(o.reference) + " as " + state.reference_format + ": " +
             counts(state.REFERENCE, "reference configuration"));
  }
  if (ok && !o.protocol.empty()) {
    ok = step(session, backend, "LoadProtocol", o.protocol, err);
    if (ok)
      status("read " + shown_name(o.protocol) + ": " +
             sprintf_m("%g landmarks, %g semi-landmarks, %g helper points",
                       {Value(state.numberlm), Value(state.numberslm), Value(state.numberhlp)}));
  }
  if (ok && o.protocol.empty()) {
    try {
      plain_run(session.state);
    } catch (const std::bad_alloc&) {
      err << "tavrel6-batch: " << too_large_for_memory(shown_name(o.data)).what() << "\n";
      ok = false;
    } catch (const std::exception& e) {
      err << "tavrel6-batch: " << e.what() << "\n";
      ok = false;
    }
  }
  if (ok) status(run_line(state.last_run));
  const std::pair<const std::string*, const char*> saves[] = {
      {&o.save, "Save"},
      {&o.save_lmslm, "SaveLMSLM"},
      {&o.save_lm, "SaveLM"},
      {&o.save_reference, "SaveReference"},
      {&o.save_reference_lmslm, "SaveReferenceLMSLM"},
      {&o.save_reference_lm, "SaveReferenceLM"}};
  for (const auto& [file, action] : saves)
    if (ok && !file->empty()) {
      ok = step(session, backend, action, *file, err);
      if (ok) status("wrote " + shown_name(*file) + " (" + action + ")");
    }
  // Labels as read: the file's own IDs, or the trailing value of each row as written.
  const auto& ids = state.specimen_ids.empty() ? state.trailing_text : state.specimen_ids;
  const int digits = o.digits ? o.digits : 10;
  struct TextSave {
    const std::string* file;
    const char* option;
    std::function<std::string()> text;
  };
  const TextSave text_saves[] = {
      {&o.save_tps, "--save-tps", [&] { return tps_text(state.DATA, ids, digits); }},
      {&o.save_nts, "--save-nts", [&] { return nts_text(state.DATA, ids, digits); }},
      {&o.save_morphologika, "--save-morphologika",
       [&] { return morphologika_text(state.DATA, ids, state.centroid_sizes, digits); }},
      {&o.save_morphoj, "--save-morphoj", [&] { return morphoj_text(state.DATA, ids, digits); }},
      {&o.save_protocol_sliders, "--save-protocol-sliders",
       [&] { return sliders_text(state.curves); }}};
  for (const TextSave& save : text_saves)
    if (ok && !save.file->empty()) {
      ok = write_step(save.option, *save.file, err, save.text);
      if (ok) status("wrote " + shown_name(*save.file) + " (" + save.option + ")");
    }
  // A table says less than a protocol: what it cannot say is told, as warnings are.
  if (ok && !o.save_protocol_sliders.empty())
    for (const std::string& w : sliders_table_losses(state.curves))
      err << "tavrel6-batch: warning: --save-protocol-sliders "
          << shown_name(o.save_protocol_sliders) << ": " << w << "\n";
  if (ok && !o.plot.empty()) {
    try {
      give_back_freed_memory();
      export_figure(g, fig, o.plot);
      status("wrote " + shown_name(o.plot) + " (--plot)");
    } catch (const std::bad_alloc&) {
      err << "tavrel6-batch: --plot: " << too_large_for_memory(shown_name(o.plot)).what() << "\n";
      ok = false;
    } catch (const std::exception& e) {
      err << "tavrel6-batch: --plot: " << e.what() << "\n";
      ok = false;
    }
  }
  const bool converged = state.last_run.converged();
  if (!ok) return kBatchFailed;
  return converged ? kBatchOk : kBatchNotConverged;
}

}  // namespace tav
