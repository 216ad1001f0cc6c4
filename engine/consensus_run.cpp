#include "engine/consensus_run.h"

#include <cmath>
#include <vector>

#include "display/display.h"
#include "engine/controls.h"
#include "engine/engine_state.h"
#include "geometry/geometry.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/format.h"

namespace tav {
namespace {

// Shows every pass of the iterated run: the console values, the sample and the consensus with
// the pass label, and a one-second pause in the window (none headless).
class WindowIterationView : public IterationObserver {
 public:
  void before_superimpose() override { gr().cla(gr().gca()); }
  void pass_measured(double devref, int itercount2) override {
    console_show("devref", Value(devref));
    console_show("itercount2", Value(itercount2));
  }
  void pass_done(const Matrix& x, const Row& xref, int itercount2) override {
    showshape(x, "r*");
    showshape(Matrix(xref), "bs");
    const Handle ax = gr().gca();
    const Row a = gr().axis(ax);
    gr().text(ax, a(0) + 0.002, a(2) + 0.05 * (a(3) - a(2)), sprintf_m("Iteration: %i", {Value(itercount2)}));
    ui().drawnow();
    if (!ui().headless()) ui().pause(1);
    figure_ = gr().gcf();
  }
  void not_converged(const std::string& text) override { ui().error_dialog(text); }
  ~WindowIterationView() override {
    if (figure_ > 0 && gr().valid(figure_)) gr().set_current_figure(figure_);
  }

 private:
  Handle figure_ = -1;
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

}  // namespace

void run_consensus() {
  const double iterq = control_value("IterBox");
  const bool dreq = control_on("DistanceBox");
  const double noalign = control_value("NoAlignButton");
  EngineState& s = engine_state();
  ConsensusRoutines& run = consensus_routines();
  Consensus result;
  if (noalign == 0) {
    if (dreq && !s.userreference) {
      result = run.dist(s.DATA, s.curves);
    } else if (dreq) {
      warn_if_unaligned(s.DATA, s.REFERENCE);
      result = run.distu(s.DATA, s.curves, s.REFERENCE);
    } else if (iterq != 0) {
      const Consensus first = run.dist(s.DATA, s.curves);
      WindowIterationView view;
      result = run.mix5(first.xpt, s.curves, view);
    } else {
      result = run.mix2(s.DATA, s.curves);
      console_write("\ncalled getconsensusdist");
    }
    result.xpt = getpsup(result.xpt, result.y);
  } else {
    result = run.plain(s.DATA);
  }
  refuse_not_finite(result, s.curves);
  s.REFERENCE = result.y;
  s.DATA = result.xpt;

  const Handle ax = gr().gca();
  gr().cla(ax);
  const double curvecode = control_value("CurveButton");
  gr().cla(ax);
  const int junk = showsemiproto2(s.DATA, s.curves, curvecode);
  console_show("junk", Value(junk));
}

}  // namespace tav
