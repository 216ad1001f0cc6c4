// The "ShapeSpace" action: the shape space of the current results in a window of its own, kept
// in step with the results by the Load, the run and Clear.
#include <optional>
#include <string>

#include "engine/controls.h"
#include "engine/engine.h"
#include "engine/run_action.h"
#include "engine/session.h"

namespace tav {
namespace {

constexpr int kShapeSpaceFigure = 3;
constexpr Index kAcross = 1, kUp = 2;

bool shape_space_open(Objects& g) {
  return g.valid(kShapeSpaceFigure) && g.type(kShapeSpaceFigure) == "figure";
}

// Why the shape space of the session cannot be drawn, or nothing when it can.
std::optional<std::string> not_drawable(const Session& session) {
  if (session.state.sample.size() == 0) return "the shape space needs a sample; load one first";
  if (shape_space(session).components.components() < 2)
    return "the shape space has fewer than two components with variance (the specimens do not "
           "differ enough in shape); there are no scores to plot";
  return std::nullopt;
}

// Draws the shape space afresh into its figure, which opens when it is not open; the figure
// current before stays current, so that the main window's actions draw where they did.
void draw_into_window(Session& session) {
  const ShapeSpace s = shape_space(session);
  Objects& g = session.objects();
  const Handle before = g.has_current_figure() ? g.gcf() : -1;
  const Handle figure = g.figure(kShapeSpaceFigure);
  for (Handle child : g.children(figure)) g.remove(child);
  g.set(figure, "Name", Value("tavrel6: shape space"));
  draw_shape_space(session, s, figure, kAcross, kUp);
  draw_slides_and_variance(session, s, figure);
  if (before > 0 && before != figure && g.valid(before)) g.set_current_figure(before);
}

}  // namespace

void action_shape_space(Session& session) {
  if (const auto why = not_drawable(session)) return tell_user(session, "Nothing to draw: " + *why);
  draw_into_window(session);
  session.objects().set_current_figure(kShapeSpaceFigure);
}

void follow_shape_space(Session& session) {
  Objects& g = session.objects();
  const bool loaded = session.state.sample.size() != 0;
  for (Handle h : g.find_by_tag("ShapeSpaceButton"))
    g.set(h, "Enable", Value(loaded ? "on" : "off"));
  if (!shape_space_open(g)) return;
  if (not_drawable(session))
    g.remove(kShapeSpaceFigure);
  else
    draw_into_window(session);
}

}  // namespace tav
