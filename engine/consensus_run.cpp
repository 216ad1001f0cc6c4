#include "engine/consensus_run.h"

#include <chrono>
#include <cmath>
#include <vector>

#include "display/display.h"
#include "display/legend.h"
#include "engine/controls.h"
#include "engine/engine_state.h"
#include "geometry/geometry.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/format.h"
#include "platform/run_control.h"

namespace tav {
namespace {

// Shows every pass of the iterated run: the console values, the sample and the consensus with
// the pass label, the pass, devref and time so far in the window's status line, and a pause
// in the window (one second unless set otherwise; none headless). A stop asked for during a
// pass ends the run after it, as an error that keeps the earlier results.
class WindowIterationView : public IterationObserver {
 public:
  WindowIterationView() : status_figure_(gr().has_current_figure() ? gr().gcf() : -1) { clear_stop(); }
  void before_superimpose() override { gr().cla(gr().gca()); }
  void pass_measured(double devref, int itercount2) override {
    passes = itercount2;
    console_show("devref", Value(devref));
    console_show("itercount2", Value(itercount2));
    devref_ = devref;
  }
  void pass_done(const Matrix& x, const Row& xref, int itercount2) override {
    showshape(x, "r*");
    label_last_line("Specimens");
    showshape(Matrix(xref), "bs");
    label_last_line("Consensus");
    const Handle ax = gr().gca();
    const Row a = gr().axis(ax);
    gr().text(ax, a(0) + 0.002, a(2) + 0.05 * (a(3) - a(2)), sprintf_m("Iteration: %i", {Value(itercount2)}));
    show_progress(itercount2);
    ui().drawnow();
    if (!ui().headless()) ui().pause(pass_pause_seconds());
    figure_ = gr().gcf();
    if (stop_requested())
      throw Error("stopped by the user after pass " + std::to_string(itercount2));
  }
  void not_converged(const std::string& text) override {
    converged = false;
    ui().error_dialog(text);
  }
  ~WindowIterationView() override {
    clear_stop();
    if (status_figure_ > 0 && gr().valid(status_figure_))
      gr().set(status_figure_, "StatusText", Value(""));
    if (figure_ > 0 && gr().valid(figure_)) gr().set_current_figure(figure_);
  }

  int passes = 0;
  bool converged = true;

 private:
  // The window's status line: "Pass 3   devref 0.00123   4.2 s".
  void show_progress(int itercount2) {
    if (status_figure_ <= 0 || !gr().valid(status_figure_)) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    gr().set(status_figure_, "StatusText",
             Value(sprintf_m("Iterated run: pass %i   devref %g   %.1f s   (Esc or Stop ends it after this pass)",
                             {Value(itercount2), Value(devref_), Value(seconds)})));
  }

  Handle figure_ = -1;
  Handle status_figure_;
  double devref_ = 0;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

void warn_if_unaligned(const Matrix& data, const Matrix& reference) {
  const int n = count_unaligned(data, reference, 10.0);
  if (n == 0) return;
  ui().message(std::to_string(n) + " of " + std::to_string(data.rows()) +
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

void run_consensus() {
  const double iterq = control_value("IterBox");
  const bool dreq = control_on("DistanceBox");
  const double noalign = control_value("NoAlignButton");
  EngineState& s = engine_state();
  s.loaded_plain.reset();  // its memory is free for the run
  ConsensusRoutines& run = consensus_routines();
  Consensus result;
  RunReport report;
  if (noalign == 0) {
    if (dreq && !s.userreference) {
      report.mode = "sliding by Procrustes distance";
      result = run.dist(s.LOADED, s.curves);
    } else if (dreq) {
      report.mode = "sliding by Procrustes distance onto the user reference";
      warn_if_unaligned(s.LOADED, s.REFERENCE);
      result = run.distu(s.LOADED, s.curves, s.REFERENCE);
    } else if (iterq != 0) {
      report.mode = "iterated sliding by bending energy";
      const Consensus first = run.dist(s.LOADED, s.curves);
      WindowIterationView view;
      result = run.mix5(first.xpt, s.curves, view);
      report.passes = view.passes;
      report.converged = view.converged;
    } else {
      report.mode = "one-pass sliding by bending energy";
      result = run.mix2(s.LOADED, s.curves);
      console_write("\ncalled getconsensusdist");
    }
    // The slid sample goes onto the consensus, and a consensus of its own run onto the
    // mean of what is saved with it; the user's reference stays as the user gave it.
    if (dreq && s.userreference)
      result.xpt = getpsup(result.xpt, result.y);
    else
      result = refit_to_mean(result);
  } else {
    report.mode = "plain Procrustes consensus (no sliding)";
    result = run.plain(s.LOADED);
  }
  refuse_not_finite(result, s.curves);
  s.last_run = report;
  s.REFERENCE = result.y;
  s.DATA = result.xpt;

  const Handle ax = gr().gca();
  gr().cla(ax);
  const double curvecode = control_value("CurveButton");
  gr().cla(ax);
  s.shown = EngineState::Shown::sample;
  const int junk = showsemiproto2(s.DATA, s.curves, curvecode);
  console_show("junk", Value(junk));
}

}  // namespace tav
