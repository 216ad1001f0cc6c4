#include "engine/consensus_run.h"

#include <chrono>
#include <cmath>
#include <vector>

#include "display/display.h"
#include "display/legend.h"
#include "engine/controls.h"
#include "engine/engine.h"
#include "engine/run_observer.h"
#include "engine/session.h"
#include "platform/console.h"
#include "platform/format.h"
#include "platform/run_control.h"

namespace tav {
namespace {

constexpr const char* kLastPassKept =
    "; the results of the last pass are kept, drawn and saved as they are: check them";

// The change of the last pass measured, for the account of how the run ended.
class LastChange : public RunObserver {
 public:
  void pass_measured(double devref, int) override { devref_ = devref; }
  double devref() const { return devref_; }

 private:
  double devref_ = 0;
};

// Every pass drawn in the current axes: the sample and the consensus with the pass label.
// The figure current after the last pass is current again when the run ends.
class PassDrawing : public RunObserver {
 public:
  PassDrawing(Objects& g, Backend& ui) : g_(g), ui_(ui) {}
  void before_superimpose() override { g_.cla(g_.gca()); }
  void pass_done(const Matrix& x, const Row& xref, int pass) override {
    draw_configurations(g_, x, "r*");
    label_last_line(g_, "Specimens");
    draw_configurations(g_, Matrix(xref), "bs");
    label_last_line(g_, "Consensus");
    const Handle ax = g_.gca();
    const Row a = g_.axis(ax);
    g_.text(ax, a(0) + 0.002, a(2) + 0.05 * (a(3) - a(2)),
            sprintf_m("Iteration: %i", {Value(pass)}));
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
  void pass_measured(double devref, int pass) override {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    show(sprintf_m(
        "Iterated run: pass %i   devref %g   %.1f s   (Esc or Stop ends it after this pass)",
        {Value(pass), Value(devref), Value(seconds)}));
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
  void not_converged(const std::string& text) override { ui_.error_dialog(text + kLastPassKept); }
  void settled(const std::string& text) override { ui_.message(text); }

 private:
  Backend& ui_;
};

// The window's listeners of one run in the order they hear it: the drawing, the progress
// line and Stop, the boxes.
class WindowRunListeners {
 public:
  explicit WindowRunListeners(Session& session)
      : drawing_(session.objects(), session.ui()),
        progress_(session.runtime),
        boxes_(session.ui()) {
    for (RunObserver* l :
         std::initializer_list<RunObserver*>{&drawing_, &progress_, &boxes_, &last_change})
      all.add(*l);
  }
  // The iterated run begins.
  void iterating() { progress_.starting(); }
  RunObservers all;
  LastChange last_change;

 private:
  PassDrawing drawing_;
  WindowProgress progress_;
  RunBoxes boxes_;
};

// How the run ended, in the words of the status line: converged (with its passes and last
// change), short of its tolerance with the results it kept, or stopped.
std::string run_ending(const RunReport& report, double devref) {
  switch (report.end) {
    case RunEnd::converged:
      if (report.mode != RunMode::iterated_bending) return report.mode_text + ": done";
      return sprintf_m("%s: converged after %i passes (devref %g)",
                       {Value(report.mode_text), Value(report.passes), Value(devref)});
    case RunEnd::pass_limit: return report.mode_text + ": " + report.ending + kLastPassKept;
    case RunEnd::settled: return report.mode_text + ": " + report.ending;
    case RunEnd::stopped:
      return report.mode_text + ": " + report.ending + "; the earlier results are kept and drawn";
  }
  return "";
}

}  // namespace

RunReport run_consensus(Session& session) {
  EngineState& s = session.state;
  const RunOptions options =
      run_options(control_value(session, "NoAlignButton") != 0, control_on(session, "DistanceBox"),
                  control_value(session, "IterBox") != 0, s.user_reference);
  WindowRunListeners listeners(session);
  if (options.mode == RunMode::iterated_bending) listeners.iterating();
  const RunReport report = run(session, options, listeners.all);

  // The kept results are drawn however the run ended: a pass drawn during the run may be one
  // that was not kept.
  Objects& g = session.objects();
  const double curves_wanted = control_value(session, "CurveButton");
  g.cla(g.gca());
  s.shown = EngineState::Shown::sample;
  s.helpers_hidden = false;  // drawn without the hide-helpers setting, so helpers are marked
  const int drawn =
      draw_protocol(session.objects(), s.sample, s.protocol.curves, curves_wanted != 0);
  console_show("junk", Value(drawn));
  set_status_note(session, run_ending(report, listeners.last_change.devref()));
  return report;
}

}  // namespace tav
