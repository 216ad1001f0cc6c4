// The view actions: "Replot", "TangentPlot", "OriginalTangent" and "Clear".
#include "display/display.h"
#include "display/legend.h"
#include "engine/controls.h"
#include "engine/engine_state.h"
#include "engine/zidudezu.h"
#include "geometry/geometry.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/format.h"

namespace tav {
namespace {

// Point numbers sit this many pixels right of and above their point, whatever the zoom.
constexpr double kLabelOffsetPx = 4;
constexpr double kAxisEnlargement = 1.2;
constexpr Index kBaselineFrom = 4, kBaselineTo = 5;
constexpr int kComparisonFigure = 2;

const CurveProtocol& protocol() { return engine_state().curves; }

// Point numbers at the sample's mean positions, then wider limits and equal scaling.
void write_point_numbers(bool omit_helpers) {
  const EngineState& s = engine_state();
  const Index n = s.DATA.cols();
  if (n == 0) throw Error("no data are loaded: there are no points to number");
  const Row xm = s.DATA.colwise().mean();
  const Handle ax = gr().gca();
  for (Index i = 1; i <= (n - 1) / 2; ++i) {
    const double type = at(s.lmtypelist, i);
    if (omit_helpers && type == 2) continue;
    const Handle label =
        gr().text(ax, xm(2 * i - 2), xm(2 * i - 1), short_number_text(static_cast<double>(i)));
    gr().set(label, "PixelOffset", Value(row({kLabelOffsetPx, kLabelOffsetPx})));
  }
  gr().axis(ax, gr().axis(ax) * kAxisEnlargement);
  gr().axis_equal(ax);
}

// The consensus beside the plain consensus fitted onto it, both on the baseline 4 -> 5.
void compare_with_plain_consensus(double curvecode, double omitcode) {
  EngineState& s = engine_state();
  s.oref = getpsup(Matrix(s.oref), s.REFERENCE);
  showsemiproto2(s.oref, protocol(), curvecode, omitcode, 1);
  gr().set(gr().figure(kComparisonFigure), "Name",
           Value("tavrel6: consensus (red) and plain consensus (green) on the baseline of points 4 and 5"));
  showshape(basereg(s.REFERENCE, kBaselineFrom, kBaselineTo), "r*");
  label_last_line("Consensus with sliding");
  showshape(basereg(Matrix(s.oref), kBaselineFrom, kBaselineTo), "go");
  label_last_line("Plain consensus");
}

// Whether the configurations to draw are there; the user is told what to load when not.
bool ready_to_draw(const Matrix& x, const char* what) {
  if (x.size() != 0) return true;
  tell_user(std::string("Nothing to draw: ") + what);
  return false;
}

}  // namespace

void action_replot() {
  const double curvecode = control_value("CurveButton");
  const bool npcode = control_on("NumberButton");
  const double omitcode = control_value("TavrelButton");
  const bool meancode = control_on("MeanButton");
  const EngineState& s = engine_state();
  if (!ready_to_draw(meancode ? s.REFERENCE : s.DATA,
                     meancode ? "there is no consensus yet; load a sample and its protocol"
                              : "no sample is loaded; load one first"))
    return;
  gr().cla(gr().gca());
  engine_state().shown = meancode ? EngineState::Shown::consensus : EngineState::Shown::sample;
  if (meancode) {
    showsemiproto2(s.REFERENCE, protocol(), curvecode, omitcode);
    const double ocode = control_value("OriginalButton");
    console_show("ocode", Value(ocode));
    if (ocode != 0) compare_with_plain_consensus(curvecode, omitcode);
  } else if (!s.has_curves) {
    showshape(s.DATA, "b*");  // no protocol yet: the sample as Load draws it
  } else {
    const int junk = showsemiproto2(s.DATA, protocol(), curvecode, omitcode);
    console_show("junk", Value(junk));
  }
  if (npcode) write_point_numbers(omitcode != 0);
  mark_action_done();
}

void action_tangent_plot(bool original) {
  const double curvecode = control_value("CurveButton");
  const double omitcode = control_value("TavrelButton");
  const EngineState& s = engine_state();
  const Matrix x = original ? Matrix(s.oref) : s.REFERENCE;
  if (!ready_to_draw(s.has_curves ? x : Matrix(0, 0),
                     "the tangents need a sample and its protocol; load both first"))
    return;
  gr().cla(gr().gca());
  engine_state().shown = original ? EngineState::Shown::plain_consensus : EngineState::Shown::consensus;
  showsemiproto2(x, protocol(), curvecode, omitcode);
  showshape_tangent(Eigen::Map<const Row>(x.data(), x.size()), protocol());
  mark_action_done();
}

void action_clear() {
  // Nothing of the earlier sample, reference, protocol or results is left for a save, a plot
  // or the next Load to pick up.
  engine_state() = EngineState{};
  gr().cla(gr().gca());
  set_status("FileBox", "No File Active");
  set_status("ProtoBox", "No Protocol Loaded");
  mark_action_done();
}

}  // namespace tav
