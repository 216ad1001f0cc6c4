// The session's results as a picture file, drawn as the window draws them after a run.
#include "display/display.h"
#include "display/legend.h"
#include "display/render.h"
#include "engine/engine.h"
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

// A figure of its own for the length of an export, removed however the export ends; the
// figure current before is current again.
class ExportFigure {
 public:
  explicit ExportFigure(Objects& g)
      : g_(g), previous_(g.has_current_figure() ? g.gcf() : -1), figure_(g.create("figure", 0)) {
    g.create("axes", figure_);
  }
  ~ExportFigure() {
    g_.remove(figure_);
    if (previous_ > 0 && g_.valid(previous_)) g_.set_current_figure(previous_);
  }
  Handle figure() const { return figure_; }

 private:
  Objects& g_;
  Handle previous_, figure_;
};

}  // namespace

void export_drawing(Session& session, const std::string& path) {
  const EngineState& s = session.state;
  if (s.sample.size() == 0)
    throw Error("There is nothing to draw: no sample is loaded; nothing was written");
  Objects& g = session.objects();
  const ExportFigure figure(g);
  draw_results(g, s);
  export_figure(g, figure.figure(), path);
}

}  // namespace tav
