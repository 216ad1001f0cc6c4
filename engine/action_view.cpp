// The view actions: "Replot", "TangentPlot", "OriginalTangent" and "Clear".
#include <algorithm>
#include <cmath>

#include "display/display.h"
#include "display/legend.h"
#include "display/render.h"
#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "geometry/geometry.h"
#include "platform/console.h"
#include "platform/format.h"

namespace tav {
namespace {

// Point numbers sit this many pixels right of and above their point, whatever the zoom.
constexpr double kLabelOffsetPx = 4;
constexpr double kAxisEnlargement = 1.2;
constexpr Index kBaselineFrom = 4, kBaselineTo = 5;
constexpr int kComparisonFigure = 2;

// Where the number of each point of `x` (configurations, one a row) can be read: beside the
// point's cloud of specimens, on the side away from the middle of the configuration, so that it
// does not sit among the cloud's markers; beside the point itself for a single configuration.
Matrix number_places(const Matrix& x) {
  const Index k = (x.cols() - 1) / 2;
  const Row mean = x.colwise().mean();
  double cx = 0, cy = 0;
  for (Index i = 0; i < k; ++i) cx += mean(2 * i) / double(k), cy += mean(2 * i + 1) / double(k);
  Matrix places(k, 2);
  for (Index i = 0; i < k; ++i) {
    const double mx = mean(2 * i), my = mean(2 * i + 1);
    double spread = 0;
    for (Index r = 0; r < x.rows(); ++r)
      spread = std::max(spread, std::hypot(x(r, 2 * i) - mx, x(r, 2 * i + 1) - my));
    const double dx = mx - cx, dy = my - cy, d = std::hypot(dx, dy);
    places(i, 0) = d > 0 ? mx + spread * dx / d : mx;
    places(i, 1) = d > 0 ? my + spread * dy / d : my;
  }
  return places;
}

// The numbers of the points of `x` (the sample, or one configuration) in `ax` where they can be
// read, then wider limits and equal scaling.
void write_point_numbers(Session& session, Handle ax, const Matrix& x, bool omit_helpers) {
  Objects& g = session.objects();
  const EngineState& s = session.state;
  const Index n = x.cols();
  if (n == 0 || x.rows() == 0) throw Error("no data are loaded: there are no points to number");
  const Protocol& p = s.protocol;
  if (p.loaded() && static_cast<Index>(p.kinds.size()) < (n - 1) / 2)
    throw Error("the protocol gives the kinds of " + std::to_string(p.kinds.size()) +
                " points, the data have " + std::to_string((n - 1) / 2) +
                "; load the protocol for these data before numbering their points");
  const Matrix places = number_places(x);
  for (Index i = 1; i <= (n - 1) / 2; ++i) {
    if (omit_helpers && s.protocol.kind_of(i) == PointKind::helper) continue;
    const Handle label =
        g.text(ax, places(i - 1, 0), places(i - 1, 1), short_number_text(static_cast<double>(i)));
    g.set(label, "PixelOffset", Value(row({kLabelOffsetPx, kLabelOffsetPx})));
  }
  g.axis(ax, g.axis(ax) * kAxisEnlargement);
  g.axis_equal(ax);
}

// Whether draw_protocol leaves the helper points out for this "Hide helper points" value.
bool helpers_left_out(double hide_helpers) { return hide_helpers == 1; }

// A new comparison window opens beside the main window (right of it, else left of it), where
// it hides neither the drawing nor the control panel; on a screen too narrow for both, at the
// screen's right edge, over the main window's drawing rather than its controls.
void place_beside(Objects& g, Handle comparison, Handle main) {
  const Row screen = g.get(0, "screensize").matrix();
  const Row m = g.pixel_position(main);
  Row c = g.pixel_position(comparison);
  constexpr double kGap = 12;
  const double screen_right = screen.size() >= 4 ? screen(0) + screen(2) - 1 : 1e9;
  if (m(0) + m(2) + kGap + c(2) <= screen_right)
    c(0) = m(0) + m(2) + kGap;
  else if (m(0) - kGap - c(2) >= 1)
    c(0) = m(0) - kGap - c(2);
  else {
    // Over the main window's drawing, right of its controls, as wide as the screen leaves.
    const auto axes = g.find_by_tag("MainAxes");
    const double drawing_left = axes.empty() ? 0 : g.pixel_position(axes.front())(0);
    constexpr double kNarrowest = 200;
    c(0) = std::max(1.0, std::min(m(0) + drawing_left, screen_right - kNarrowest));
    c(2) = std::min(c(2), screen_right - c(0));
  }
  c(1) = m(1) + m(3) - c(3);  // tops level
  g.set(comparison, "Position", Value(c));
}

// The consensus beside the plain consensus fitted onto it, both on the baseline 4 -> 5.
void compare_with_plain_consensus(Session& session, double curves_wanted, double hide_helpers) {
  Objects& g = session.objects();
  EngineState& s = session.state;
  const bool opening = !g.valid(kComparisonFigure);
  const Handle main = g.gcf();
  s.plain_consensus = fit_onto(Matrix(s.plain_consensus), s.reference);
  draw_protocol(g, s.plain_consensus, s.protocol.curves, curves_wanted != 0,
                helpers_left_out(hide_helpers), ColourCode::compared);
  if (opening) place_beside(g, g.figure(kComparisonFigure), main);
  // The title names the colours as painted, so it follows the palette.
  g.set(g.figure(kComparisonFigure), "Name",
        Value("tavrel6: consensus (" + painted_colour_name('r') + " stars) and plain consensus (" +
              painted_colour_name('g') + " circles) on the baseline of points 4 and 5"));
  draw_configurations(g, baseline_registration(s.reference, kBaselineFrom, kBaselineTo), "r*");
  label_last_line(g, "Consensus with sliding");
  draw_configurations(
      g, baseline_registration(Matrix(s.plain_consensus), kBaselineFrom, kBaselineTo), "go");
  label_last_line(g, "Plain consensus");
}

// Whether the configurations to draw are there; the user is told what to load when not.
bool ready_to_draw(Session& session, const Matrix& x, const char* what) {
  if (x.size() != 0) return true;
  tell_user(session, std::string("Nothing to draw: ") + what);
  return false;
}

}  // namespace

void action_replot(Session& session) {
  Objects& g = session.objects();
  const double curves_wanted = control_value(session, "CurveButton");
  const bool numbers_wanted = control_on(session, "NumberButton");
  const double hide_helpers = control_value(session, "TavrelButton");
  const bool consensus_wanted = control_on(session, "MeanButton");
  const EngineState& s = session.state;
  if (!ready_to_draw(session, consensus_wanted ? s.reference : s.sample,
                     consensus_wanted ? "there is no consensus yet; load a sample and its protocol"
                                      : "no sample is loaded; load one first"))
    return;
  // The comparison below opens its own window and leaves it current: the numbers belong here.
  const Handle main_axes = g.gca();
  g.cla(main_axes);
  session.state.shown =
      consensus_wanted ? EngineState::Shown::consensus : EngineState::Shown::sample;
  session.state.helpers_hidden =
      (consensus_wanted || s.protocol.has_curves) && helpers_left_out(hide_helpers);
  const double compare_wanted = control_value(session, "OriginalButton");
  if (compare_wanted != 0 && !consensus_wanted)
    tell_user(session,
              "The comparison with the plain consensus is drawn with the consensus: tick "
              "\"Show consensus\" as well and Replot");
  if (consensus_wanted) {
    draw_protocol(g, s.reference, s.protocol.curves, curves_wanted != 0,
                  helpers_left_out(hide_helpers));
    console_show("ocode", Value(compare_wanted));
    if (compare_wanted != 0) compare_with_plain_consensus(session, curves_wanted, hide_helpers);
  } else if (!s.protocol.has_curves) {
    draw_configurations(g, s.sample, "b*");  // no protocol yet: the sample as Load draws it
  } else {
    const int drawn = draw_protocol(g, s.sample, s.protocol.curves, curves_wanted != 0,
                                    helpers_left_out(hide_helpers));
    console_show("junk", Value(drawn));
  }
  if (numbers_wanted)
    write_point_numbers(session, main_axes, consensus_wanted ? s.reference : s.sample,
                        hide_helpers != 0);
}

void action_tangent_plot(Session& session, bool original) {
  Objects& g = session.objects();
  const double curves_wanted = control_value(session, "CurveButton");
  const double hide_helpers = control_value(session, "TavrelButton");
  const EngineState& s = session.state;
  const Matrix x = original ? Matrix(s.plain_consensus) : s.reference;
  if (!ready_to_draw(session, s.protocol.has_curves ? x : Matrix(0, 0),
                     "the tangents need a sample and its protocol; load both first"))
    return;
  g.cla(g.gca());
  session.state.shown =
      original ? EngineState::Shown::plain_consensus : EngineState::Shown::consensus;
  session.state.helpers_hidden = helpers_left_out(hide_helpers);
  draw_protocol(g, x, s.protocol.curves, curves_wanted != 0, helpers_left_out(hide_helpers));
  draw_tangents_of(g, Eigen::Map<const Row>(x.data(), x.size()), s.protocol.curves);
  if (control_on(session, "NumberButton"))
    write_point_numbers(session, g.gca(), x, helpers_left_out(hide_helpers));
}

void action_clear(Session& session) {
  Objects& g = session.objects();
  // Nothing of the earlier sample, reference, protocol or results is left for a save, a plot
  // or the next Load to pick up.
  session.state = EngineState{};
  // The comparison window shows the cleared consensus: it closes with it.
  if (g.valid(kComparisonFigure) && g.type(kComparisonFigure) == "figure")
    g.remove(kComparisonFigure);
  follow_shape_space(session);  // the shape space closes as well
  g.cla(g.gca());
  set_status(session, "FileBox", "No File Active");
  set_status(session, "ProtoBox", "No Protocol Loaded");
}

}  // namespace tav
