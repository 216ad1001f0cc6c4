#include "engine/consensus_run.h"

#include <chrono>
#include <cmath>
#include <vector>

#include "display/display.h"
#include "display/legend.h"
#include "engine/controls.h"
#include "engine/run_observer.h"
#include "engine/session.h"
#include "geometry/geometry.h"
#include "platform/console.h"
#include "platform/format.h"
#include "platform/run_control.h"

namespace tav {
namespace {

// The console's record of every pass: devref (with the session's digits) and the pass number.
class ConsoleRunLog : public RunObserver {
 public:
  explicit ConsoleRunLog(int digits) : digits_(digits) {}
  void pass_measured(double devref, int itercount2) override {
    console_show("devref", Value(devref), digits_);
    console_show("itercount2", Value(itercount2));
  }
  void settled(const std::string& text) override { console_write("\n" + text + "\n"); }

 private:
  int digits_;
};

// Every pass drawn in the current axes: the sample and the consensus with the pass label.
// The figure current after the last pass is current again when the run ends.
class PassDrawing : public RunObserver {
 public:
  PassDrawing(Objects& g, Backend& ui) : g_(g), ui_(ui) {}
  void before_superimpose() override { g_.cla(g_.gca()); }
  void pass_done(const Matrix& x, const Row& xref, int itercount2) override {
    draw_configurations(g_, x, "r*");
    label_last_line(g_, "Specimens");
    draw_configurations(g_, Matrix(xref), "bs");
    label_last_line(g_, "Consensus");
    const Handle ax = g_.gca();
    const Row a = g_.axis(ax);
    g_.text(ax, a(0) + 0.002, a(2) + 0.05 * (a(3) - a(2)),
            sprintf_m("Iteration: %i", {Value(itercount2)}));
    ui_.drawnow();
    figure_ = g_.gcf();
  }
  ~PassDrawing() override {
    if (figure_ > 0 && g_.valid(figure_)) g_.set_current_figure(figure_);
  }

 private:
  Objects& g_;
  Backend& ui_;
  Handle figure_ = -1;
};

// The window's part: the pass, devref and time so far in the status line of the figure
// current when the run started, a pause after every pass (one second unless set otherwise;
// none headless), and the user's Stop (or Esc), which ends the run after the current pass.
// Stop and pause are the session's own: another session's window does not reach them.
class WindowProgress : public RunObserver {
 public:
  explicit WindowProgress(Runtime& rt)
      : g_(rt.objects),
        ui_(rt.ui()),
        control_(rt.control),
        status_figure_(g_.has_current_figure() ? g_.gcf() : -1) {}
  // The iterated run begins: the status line (and its Stop) shows during the first pass too.
  void starting() { show("Iterated run: pass 1 running   (Esc or Stop ends it after this pass)"); }
  void pass_measured(double devref, int itercount2) override {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    show(sprintf_m(
        "Iterated run: pass %i   devref %g   %.1f s   (Esc or Stop ends it after this pass)",
        {Value(itercount2), Value(devref), Value(seconds)}));
  }
  void pass_done(const Matrix&, const Row&, int) override {
    if (!ui_.headless()) ui_.pause(control_.pass_pause_seconds());
  }
  bool stop_wanted() override { return control_.stop_requested(); }
  ~WindowProgress() override {
    control_.clear_stop();
    if (shown_ && g_.valid(status_figure_)) g_.set(status_figure_, "StatusText", Value(""));
  }

 private:
  void show(const std::string& text) {
    if (status_figure_ <= 0 || !g_.valid(status_figure_)) return;
    g_.set(status_figure_, "StatusText", Value(text));
    shown_ = true;
  }

  Objects& g_;
  Backend& ui_;
  RunControl& control_;
  Handle status_figure_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Messages in message boxes; a run that did not converge in an error box.
class RunBoxes : public RunObserver {
 public:
  explicit RunBoxes(Backend& ui) : ui_(ui) {}
  void message(const std::string& text) override { ui_.message(text); }
  void not_converged(const std::string& text) override { ui_.error_dialog(text); }
  void settled(const std::string& text) override { ui_.message(text); }

 private:
  Backend& ui_;
};

// The count of passes and how the run ended, for the run's report.
class RunTally : public RunObserver {
 public:
  void pass_measured(double, int itercount2) override { passes = itercount2; }
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

// The listeners of one run in the order they hear it: the console, the drawing, the window's
// progress, the boxes, the tally, then those the session's owner added.
class RunListeners {
 public:
  explicit RunListeners(Session& session)
      : console_(session.digits),
        drawing_(session.objects(), session.ui()),
        progress_(session.runtime),
        boxes_(session.ui()) {
    for (RunObserver* l :
         std::initializer_list<RunObserver*>{&console_, &drawing_, &progress_, &boxes_, &tally})
      all.add(*l);
    for (RunObserver* l : session.observers) all.add(*l);
  }
  // The iterated run begins.
  void iterating() { progress_.starting(); }
  RunObservers all;
  RunTally tally;

 private:
  ConsoleRunLog console_;
  PassDrawing drawing_;
  WindowProgress progress_;
  RunBoxes boxes_;
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

// The run the check boxes select, on the loaded sample, with the slid sample fitted to its
// consensus. Its listeners hear the whole run: a Stop asked for at any time since the action
// began ends the iterated run after its current (or first) pass.
Consensus selected_run(Session& session, RunReport& report) {
  const double iterq = control_value(session, "IterBox");
  const bool dreq = control_on(session, "DistanceBox");
  const double noalign = control_value(session, "NoAlignButton");
  const EngineState& s = session.state;
  ConsensusRoutines& run = session.routines;
  RunListeners listeners(session);
  if (noalign != 0) {
    report.mode = "plain Procrustes consensus (no sliding)";
    return run.plain(s.LOADED);
  }
  Consensus result;
  if (dreq && !s.userreference) {
    report.mode = "sliding by Procrustes distance";
    result = run.dist(s.LOADED, s.curves);
  } else if (dreq) {
    report.mode = "sliding by Procrustes distance onto the user reference";
    warn_if_unaligned(listeners.all, s.LOADED, s.REFERENCE);
    result = run.distu(s.LOADED, s.curves, s.REFERENCE);
  } else if (iterq != 0) {
    report.mode = "iterated sliding by bending energy";
    listeners.iterating();
    const Consensus first = run.dist(s.LOADED, s.curves);
    result = run.mix5(first.xpt, s.curves, listeners.all);
    report.passes = listeners.tally.passes;
    report.end = listeners.tally.how;
    report.ending = listeners.tally.ending;
  } else {
    report.mode = "one-pass sliding by bending energy";
    result = run.mix2(s.LOADED, s.curves);
    console_write("\ncalled getconsensusdist");
  }
  // The slid sample goes onto the consensus, and a consensus of its own run onto the mean of
  // what is saved with it; the user's reference stays as the user gave it.
  if (dreq && s.userreference) {
    result.xpt = fit_onto(result.xpt, result.y);
    return result;
  }
  return refit_to_mean(result);
}

}  // namespace

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

void run_consensus(Session& session) {
  EngineState& s = session.state;
  s.loaded_plain.reset();  // its memory is free for the run
  RunReport report;
  Consensus result = selected_run(session, report);
  refuse_not_finite(result, s.curves);
  s.last_run = report;
  s.REFERENCE = result.y;
  s.DATA = std::move(result.xpt);

  Objects& g = session.objects();
  const Handle ax = g.gca();
  g.cla(ax);
  const double curvecode = control_value(session, "CurveButton");
  g.cla(ax);
  s.shown = EngineState::Shown::sample;
  s.helpers_hidden = false;  // drawn without the hide-helpers setting, so helpers are marked
  const int junk = draw_protocol(session.objects(), s.DATA, s.curves, curvecode != 0);
  console_show("junk", Value(junk));
}

}  // namespace tav
