#include <iostream>
#include <new>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "engine/engine.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/input.h"
#include "platform/console.h"
#include "platform/format.h"
#include "shell/batch.h"
#include "shell/lifecycle.h"
#include "shell/shape_space_tables.h"

namespace tav {
namespace {

// What the user sees of a run: the pass count on a terminal, its messages on `err`.
class BatchRunListener : public RunObserver {
 public:
  explicit BatchRunListener(std::ostream& err) : err_(err) {}
  void pass_measured(double, int pass) override {
    if (::isatty(2)) std::cerr << "pass " << pass << "\n";
  }
  void message(const std::string& text) override { err_ << text << "\n"; }
  void not_converged(const std::string& text) override { err_ << "error: " << text << "\n"; }
  void settled(const std::string& text) override { err_ << text << "\n"; }

 private:
  std::ostream& err_;
};

// A stream that drops what it is given: the console of a run without --verbose.
class Discard : public std::streambuf {
 protected:
  int overflow(int c) override { return c == EOF ? 0 : c; }
};

// What a run lends the session, each given back when the run ends however it ends: its console
// and its %g digits, and its started modules.
class Lent {
 public:
  Lent(Session& session, std::ostream* log, int digits)
      : session_(session), log_(session.log), digits_(session.digits) {
    session.log = log;
    if (digits) session.digits = digits;
    start_all(session);
  }
  ~Lent() {
    stop_all(session_);
    session_.digits = digits_;
    session_.log = log_;
  }

 private:
  Session& session_;
  std::ostream* log_;
  int digits_;
};

// The console lines of the steps run outside an action go where the session's go.
class ConsoleTo {
 public:
  explicit ConsoleTo(std::ostream* out) : previous_(set_console(out)) {}
  ~ConsoleTo() { set_console(previous_); }

 private:
  std::ostream* previous_;
};

// The C library keeps memory the run freed for later blocks; the picture of --plot is larger
// than any of them, so it would come on top. Handed back first, the process never holds both.
void give_back_freed_memory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

std::string counts(Index rows, Index points, const char* what) {
  return std::to_string(rows) + " " + what + ", " + std::to_string(points) + " points";
}

const char* ending_text(RunEnd end) {
  switch (end) {
    case RunEnd::converged: return "converged";
    case RunEnd::settled: return "settled above the tolerance 1e-5 (an earlier pass kept)";
    case RunEnd::pass_limit: return "stopped at the pass limit without converging";
    case RunEnd::stopped: return "stopped";
  }
  return "";
}

std::string run_line(const RunReport& r) {
  const std::string line = "run: " + r.mode_text;
  if (r.passes == 0) return line;
  return line + ", " + std::to_string(r.passes) + (r.passes == 1 ? " pass, " : " passes, ") +
         ending_text(r.end);
}

// The steps of one run, each reporting on `err`; a failed step ends the run.
class BatchSteps {
 public:
  BatchSteps(Session& session, const BatchOptions& o, std::ostream& err)
      : session_(session), o_(o), err_(err) {}

  // Runs `step` for the option's file; its notes are shown, a failure is reported.
  template <class F>
  bool step(const char* option, const std::string& path, F&& body) {
    if (!ok_) return false;
    try {
      for (const std::string& note : body()) err_ << note << "\n";
      return true;
    } catch (const std::bad_alloc&) {
      fail(option, path, too_large_for_memory(shown_name(path)).what());
    } catch (const std::exception& e) {
      fail(option, path, e.what());
    }
    return false;
  }
  void status(const std::string& line) const {
    if (!o_.quiet) err_ << "tavrel6-batch: " << line << "\n";
  }
  bool ok() const { return ok_; }

  void save(const char* option, const std::string& path, Result result) {
    if (path.empty()) return;
    if (step(option, path,
             [&] { return tagged(option, path, save_result(session_, result, path, o_.digits)); }))
      status("wrote " + shown_name(path) + " (" + option + ")");
  }

 private:
  void fail(const char* option, const std::string& path, const std::string& what) {
    err_ << "tavrel6-batch: " << option << " " << shown_name(path) << ": " << what << "\n";
    ok_ = false;
  }
  // A save's notes are warnings about the file written.
  static Notes tagged(const char* option, const std::string& path, Notes notes) {
    for (std::string& n : notes)
      n = "tavrel6-batch: warning: " + std::string(option) + " " + shown_name(path) + ": " + n;
    return notes;
  }

  Session& session_;
  const BatchOptions& o_;
  std::ostream& err_;
  bool ok_ = true;
};

void load_inputs(Session& session, const BatchOptions& o, BatchSteps& steps) {
  const EngineState& s = session.state;
  if (steps.step("--data", o.data, [&] { return load_sample(session, o.data); }))
    steps.status("read " + shown_name(o.data) + " as " + s.loaded.format + ": " +
                 counts(s.loaded.specimens(), s.loaded.points(), "specimens"));
  if (!o.suggest_protocol.empty() && steps.step("--suggest-protocol", o.suggest_protocol, [&] {
        write_file_atomically(o.suggest_protocol, suggested_protocol(session));
        return Notes{};
      }))
    steps.status("wrote " + shown_name(o.suggest_protocol) + " (--suggest-protocol)");
  if (!o.reference.empty() &&
      steps.step("--reference", o.reference, [&] { return load_reference(session, o.reference); }))
    steps.status("read " + shown_name(o.reference) + " as " + s.reference_format + ": " +
                 counts(s.reference.rows(), points_of(s.reference), "reference configuration"));
  if (!o.protocol.empty() &&
      steps.step("--protocol", o.protocol, [&] { return load_protocol(session, o.protocol); }))
    steps.status("read " + shown_name(o.protocol) + ": " +
                 sprintf_m("%g landmarks, %g semi-landmarks, %g helper points",
                           {Value(static_cast<double>(s.protocol.landmarks)),
                            Value(static_cast<double>(s.protocol.semilandmarks)),
                            Value(static_cast<double>(s.protocol.helpers))}));
}

// Each specimen's name in the shape space's tables: its ID or trailing value as read, or its
// number where the file gives none.
std::vector<std::string> specimen_ids(const Sample& sample) {
  std::vector<std::string> ids = sample.labels();
  ids.resize(static_cast<size_t>(sample.specimens()));
  for (size_t i = 0; i < ids.size(); ++i)
    if (ids[i].empty()) ids[i] = std::to_string(i + 1);
  return ids;
}

// The shape space's tables, computed once for all of them.
void write_shape_space(Session& session, const BatchOptions& o, BatchSteps& steps) {
  const int digits = o.digits ? o.digits : 10;
  std::optional<ShapeSpace> space;
  const auto table = [&](const char* option, const std::string& path, auto&& text) {
    if (path.empty()) return;
    if (steps.step(option, path, [&] {
          if (!space) space = shape_space(session);
          write_file_atomically(path, text(*space, specimen_ids(session.state.loaded), digits));
          return Notes{};
        }))
      steps.status("wrote " + shown_name(path) + " (" + option + ")");
  };
  table("--save-scores", o.save_scores, scores_table);
  table("--save-pca", o.save_pca,
        [](const ShapeSpace& s, const auto&, int d) { return components_table(s, d); });
  table("--save-slides", o.save_slides, slides_table);
  if (!o.plot_shape_space.empty() && steps.step("--plot-shape-space", o.plot_shape_space, [&] {
        export_shape_space(session, o.plot_shape_space, o.pcs.first, o.pcs.second);
        return Notes{};
      }))
    steps.status("wrote " + shown_name(o.plot_shape_space) + " (--plot-shape-space)");
}

void write_outputs(Session& session, const BatchOptions& o, BatchSteps& steps) {
  const std::pair<const std::string*, std::pair<const char*, Result>> saves[] = {
      {&o.save, {"--save", Result::sample}},
      {&o.save_lmslm, {"--save-lmslm", Result::sample_landmarks_semilandmarks}},
      {&o.save_lm, {"--save-lm", Result::sample_landmarks}},
      {&o.save_reference, {"--save-reference", Result::reference}},
      {&o.save_reference_lmslm,
       {"--save-reference-lmslm", Result::reference_landmarks_semilandmarks}},
      {&o.save_reference_lm, {"--save-reference-lm", Result::reference_landmarks}},
      {&o.save_tps, {"--save-tps", Result::sample_tps}},
      {&o.save_nts, {"--save-nts", Result::sample_nts}},
      {&o.save_morphologika, {"--save-morphologika", Result::sample_morphologika}},
      {&o.save_morphoj, {"--save-morphoj", Result::sample_morphoj}},
      {&o.save_protocol_sliders, {"--save-protocol-sliders", Result::protocol_sliders}}};
  for (const auto& [file, what] : saves) steps.save(what.first, *file, what.second);
  write_shape_space(session, o, steps);
  if (!o.plot.empty() && steps.step("--plot", o.plot, [&] {
        give_back_freed_memory();
        export_drawing(session, o.plot);
        return Notes{};
      }))
    steps.status("wrote " + shown_name(o.plot) + " (--plot)");
}

}  // namespace

int run_batch(const BatchOptions& o, std::ostream& err) {
  Session session;
  return run_batch(o, err, session);
}

int run_batch(const BatchOptions& o, std::ostream& err, Session& session) {
  Discard discard;
  std::ostream quiet(&discard);
  std::ostream* log = o.verbose ? &std::cout : &quiet;
  const ConsoleTo console(log);
  const Lent lent(session, log, o.digits);
  for (const std::string& w : o.warnings) err << "tavrel6-batch: warning: " << w << "\n";
  BatchSteps steps(session, o, err);
  load_inputs(session, o, steps);
  BatchRunListener listener(err);
  RunReport report;
  const RunOptions options =
      run_options(o.no_align, o.distance, o.iterate, session.state.user_reference);
  if (steps.step("--data", o.data, [&] {
        report = run(session, options, listener);
        return Notes{};
      }))
    steps.status(run_line(report));
  write_outputs(session, o, steps);
  if (!steps.ok()) return kBatchFailed;
  return report.converged() ? kBatchOk : kBatchNotConverged;
}

}  // namespace tav
