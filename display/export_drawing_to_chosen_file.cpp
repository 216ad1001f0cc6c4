#include "display/display.h"
#include "display/export_placement.h"
#include "display/render.h"
#include "platform/backend.h"

namespace tav {
namespace {
// The endings export_figure writes: the dialog lists only such files.
const char* const kPictureEndings = "*.eps *.ps *.pdf *.svg *.png";
}  // namespace

void export_drawing_to_chosen_file(Objects& g, Backend& ui) {
  const Handle fig = g.gcf(), ax = g.gca();
  ExportPlacement placement(g, fig, ax);
  const Row view = g.axis(ax);  // the picture shows what the view shows, zoomed or not
  g.axis_equal(ax);
  const std::optional<FileChoice> choice =
      ui.save_file(kPictureEndings, "Enter File Name for EPS file (end with .EPS)");
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
