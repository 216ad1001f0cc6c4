// The consensus run of the loaded sample in the chosen mode.
#include <cmath>
#include <new>
#include <vector>

#include "engine/engine.h"
#include "engine/session.h"
#include "formats/input.h"
#include "geometry/geometry.h"
#include "platform/console.h"
#include "platform/format.h"

namespace tav {
namespace {

// The console's record of every pass: devref (with the session's digits) and the pass number.
class ConsoleRunLog : public RunObserver {
 public:
  explicit ConsoleRunLog(int digits) : digits_(digits) {}
  void pass_measured(double devref, int pass) override {
    console_show("devref", Value(devref), digits_);
    console_show("itercount2", Value(pass));
  }
  void settled(const std::string& text) override { console_write("\n" + text + "\n"); }

 private:
  int digits_;
};

// The count of passes and how the run ended, for the run's report.
class RunTally : public RunObserver {
 public:
  void pass_measured(double, int pass) override { passes = pass; }
  void not_converged(const std::string& text) override { end(RunEnd::pass_limit, text); }
  void settled(const std::string& text) override { end(RunEnd::settled, text); }
  int passes = 0;
  RunEnd how = RunEnd::converged;
  std::string ending;

 private:
  void end(RunEnd e, const std::string& text) {
    how = e;
    ending = text;
  }
};

void warn_if_unaligned(RunObserver& listeners, const Matrix& data, const Matrix& reference) {
  const int n = count_unaligned(data, reference, 10.0);
  if (n == 0) return;
  listeners.message(
      std::to_string(n) + " of " + std::to_string(data.rows()) +
      " specimens are turned more than 10 degrees from the user reference: they are "
      "not superimposed on it, and sliding them onto it gives meaningless positions. "
      "Superimpose the sample first (a run with \"No semi-landmark alignment\", Save, "
      "Load the saved sample), then slide onto the reference.");
}

// The curve codes whose members include `point`, as "curve 1" or "curves 0 and -1".
std::string curves_of(int point, const CurveProtocol& curves) {
  std::vector<int> codes;
  for (int j = curves.numfull; j <= curves.numopen; ++j)
    if (curves.has_code(j))
      for (const int p : curves.members_of(j))
        if (p == point) {
          codes.push_back(j);
          break;
        }
  if (codes.empty()) return "no curve";
  std::string text = codes.size() == 1 ? "curve " : "curves ";
  for (size_t i = 0; i < codes.size(); ++i)
    text += (i == 0 ? "" : i + 1 == codes.size() ? " and " : ", ") + std::to_string(codes[i]);
  return text;
}

// Nothing that is not a number reaches the stored results: the first such coordinate stops
// the run, named by its specimen (or the consensus), point and curve.
void refuse_not_finite(const Consensus& result, const CurveProtocol& curves) {
  const auto refuse = [&](const std::string& whose, Index column) {
    const int point = static_cast<int>(column / 2 + 1);
    throw Error(whose + ", point " + std::to_string(point) + " (" + curves_of(point, curves) +
                "): the run gave coordinates that are not numbers, because points of the "
                "configuration coincide or lie on one line; check those points in the data");
  };
  for (Index i = 0; i < result.xpt.rows(); ++i)
    for (Index c = 0; c < result.xpt.cols(); ++c)
      if (!std::isfinite(result.xpt(i, c))) refuse("specimen " + std::to_string(i + 1), c);
  for (Index c = 0; c < result.y.size(); ++c)
    if (!std::isfinite(result.y(c))) refuse("the consensus", c);
}

const char* mode_text(RunMode mode) {
  switch (mode) {
    case RunMode::plain: return "plain Procrustes consensus (no sliding)";
    case RunMode::distance: return "sliding by Procrustes distance";
    case RunMode::distance_onto_reference:
      return "sliding by Procrustes distance onto the user reference";
    case RunMode::bending: return "one-pass sliding by bending energy";
    case RunMode::iterated_bending: return "iterated sliding by bending energy";
  }
  return "";
}

// Without a protocol: the plain consensus, and every point a landmark. Load computed it
// already on the same sample; it is taken from there.
Consensus plain_run_without_protocol(EngineState& s, RunReport& report) {
  Consensus c = s.loaded_plain ? std::move(*s.loaded_plain) : plain_consensus(s.loaded.rows);
  s.loaded_plain.reset();  // taken: a second run computes it again
  s.protocol.kinds.assign(static_cast<size_t>(s.loaded.points()), PointKind::landmark);
  s.protocol.landmarks = s.loaded.points();
  s.protocol.points = s.loaded.points();
  report.mode_text = "plain Procrustes consensus (no protocol, no sliding)";
  return c;
}

// The run of the mode on the loaded sample, with the slid sample fitted to its consensus.
Consensus run_mode(Session& session, RunMode mode, RunObserver& listeners) {
  const EngineState& s = session.state;
  const Matrix& x = s.loaded.rows;
  const CurveProtocol& curves = s.protocol.curves;
  ConsensusRoutines& routines = session.routines;
  switch (mode) {
    case RunMode::plain: return routines.plain(x);
    case RunMode::distance: return refit_to_mean(routines.distance(x, curves));
    case RunMode::distance_onto_reference: {
      // The user's reference stays as the user gave it: the slid sample goes onto it.
      warn_if_unaligned(listeners, x, s.reference);
      Consensus result = routines.distance_onto(x, curves, s.reference);
      result.xpt = fit_onto(result.xpt, result.y);
      return result;
    }
    case RunMode::bending: {
      Consensus result = routines.bending(x, curves);
      console_write("\ncalled getconsensusdist");
      return refit_to_mean(result);
    }
    case RunMode::iterated_bending: {
      const Consensus first = routines.distance(x, curves);
      Consensus result = routines.iterated_bending(first.xpt, curves, listeners);
      return refit_to_mean(result);
    }
  }
  return {};
}

}  // namespace

RunOptions run_options(bool no_align, bool distance, bool iterate, bool user_reference) {
  if (no_align) return {RunMode::plain};
  if (distance) return {user_reference ? RunMode::distance_onto_reference : RunMode::distance};
  return {iterate ? RunMode::iterated_bending : RunMode::bending};
}

RunReport run(Session& session, const RunOptions& options, RunObserver& listener) {
  EngineState& s = session.state;
  if (s.loaded.empty()) throw Error("no sample is loaded; load one first");
  RunReport report;
  report.mode = options.mode;
  report.mode_text = mode_text(options.mode);
  ConsoleRunLog console(session.digits);
  RunTally tally;
  RunObservers listeners;
  for (RunObserver* l : std::initializer_list<RunObserver*>{&console, &listener, &tally})
    listeners.add(*l);
  for (RunObserver* l : session.observers) listeners.add(*l);
  Consensus result;
  try {
    if (!s.protocol.has_curves) {
      report.mode = RunMode::plain;
      result = plain_run_without_protocol(s, report);
    } else {
      s.loaded_plain.reset();  // its memory is free for the run
      result = run_mode(session, options.mode, listeners);
    }
  } catch (const RunStopped& stop) {
    report.passes = stop.pass;
    report.end = RunEnd::stopped;
    report.ending = "stopped by the user after pass " + std::to_string(stop.pass);
    return report;
  }
  report.passes = tally.passes;
  report.end = tally.how;
  report.ending = tally.ending;
  refuse_not_finite(result, s.protocol.curves);
  s.last_run = report;
  s.reference = result.y;
  s.sample = std::move(result.xpt);
  return report;
}

}  // namespace tav
