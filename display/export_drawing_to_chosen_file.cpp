#include "display/display.h"
#include "display/export_placement.h"
#include "display/render.h"
#include "platform/backend.h"

namespace tav {
namespace {
// The endings export_figure writes, together and per format: the dialog lists only such files.
const char* const kPictureEndings =
    "Pictures (*.eps *.ps *.pdf *.svg *.png);;EPS (*.eps *.ps);;PDF (*.pdf);;SVG (*.svg);;PNG "
    "(*.png)";

// Whether the axes hold anything drawn (a line of points or a curve).
bool draws_something(const Objects& g, Handle ax) {
  for (Handle c : g.children(ax))
    if (g.kind(c) == ObjectType::line) return true;
  return false;
}

}  // namespace

void export_drawing_to_chosen_file(Objects& g, Backend& ui) {
  const Handle fig = g.gcf(), ax = g.gca();
  // An empty picture is refused as the saves refuse when there is nothing to save.
  if (!draws_something(g, ax))
    return ui.message(
        "There is nothing to export: the drawing is empty; load a sample first; nothing was "
        "written");
  ExportPlacement placement(g, fig, ax);
  const Row view = g.axis(ax);  // the picture shows what the view shows, zoomed or not
  g.axis_equal(ax);
  const std::optional<FileChoice> choice =
      ui.save_file(kPictureEndings, "Export picture (EPS, PDF, SVG or PNG by the name's ending)");
  if (choice) {
    const std::string path = choice->path();  // used as typed: no ending added
    try {
      export_figure(g, fig, path);
    } catch (const Error& e) {
      ui.message(e.what());
    }
  }
  placement.restore();
  g.axis(ax, view);
  g.axis_equal(ax);
}

}  // namespace tav
