// The session's results as a picture file, drawn as the window draws them after a run.
#include "display/display.h"
#include "display/legend.h"
#include "display/render.h"
#include "engine/engine.h"
#include "engine/export_figure_scope.h"
#include "engine/session.h"

namespace tav {
namespace {

// The processed sample in the light of its protocol (curves drawn), or without one the
// sample and any user reference.
void draw_results(Objects& g, const EngineState& s) {
  if (s.protocol.has_curves && s.last_run.mode_text.size() > 0) {
    draw_protocol(g, s.sample, s.protocol.curves, true);
    return;
  }
  draw_configurations(g, s.sample, "b*");
  label_last_line(g, "Specimens");
  if (!s.user_reference) return;
  draw_configurations(g, s.reference, "k+");
  label_last_line(g, "Reference");
}

}  // namespace

void export_drawing(Session& session, const std::string& path) {
  const EngineState& s = session.state;
  if (s.sample.size() == 0)
    throw Error("There is nothing to draw: no sample is loaded; nothing was written");
  Objects& g = session.objects();
  const ExportFigureScope figure(g);
  g.create("axes", figure.figure());
  draw_results(g, s);
  export_figure(g, figure.figure(), path);
}

}  // namespace tav
