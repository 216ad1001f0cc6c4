#include <filesystem>
#include <system_error>

#include "display/display.h"
#include "display/export_placement.h"
#include "display/render.h"
#include "platform/backend.h"

namespace tav {

void CopyImageEPS() {
  Objects& g = gr();
  const Handle fig = g.gcf(), ax = g.gca();
  ExportPlacement placement(g, fig, ax);
  g.axis_auto(ax);
  g.axis_equal(ax);
  const FileChoice choice = ui().save_file("*.*", "Enter File Name for EPS file (end with .EPS)");
  if (!choice.cancelled) {
    const std::string filet = choice.folder + choice.name;  // used as typed: no ending added
    try {
      export_figure(g, fig, filet);
      // Later file dialogs and relative names start in the folder just used.
      std::error_code ignored;
      if (!choice.folder.empty()) std::filesystem::current_path(choice.folder, ignored);
    } catch (const Error& e) {
      ui().message(e.what());
    }
  }
  placement.restore();
}

}  // namespace tav
