#include "shell/main_window.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/error.h"
#include "shell/framework.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

const char* const kFigureFile = "tavrel6.fig";

// Where the window's layout is read from, first found wins: the folder named by the environment
// variable TAV_RESOURCE_DIR (a user's own layout), the data folder of an installed program
// (relative to its bin folder), resources/ of the build tree beside the program or one folder
// up (the test programs). Raises Error naming the folders when none holds the file.
std::string figure_file() {
  std::vector<fs::path> candidates;
  if (const char* dir = std::getenv("TAV_RESOURCE_DIR"); dir && *dir) candidates.emplace_back(dir);
  std::error_code ec;
  const fs::path exe_dir = fs::read_symlink("/proc/self/exe", ec).parent_path();
  if (!ec) {
#ifdef TAV_DATA_FROM_BIN
    candidates.push_back((exe_dir / TAV_DATA_FROM_BIN).lexically_normal());
#endif
    candidates.push_back(exe_dir / "resources");
    candidates.push_back(exe_dir.parent_path() / "resources");
  }
  std::string tried;
  for (const fs::path& dir : candidates) {
    if (fs::is_regular_file(dir / kFigureFile, ec)) return (dir / kFigureFile).string();
    tried += (tried.empty() ? "" : ", ") + dir.string();
  }
  throw Error(std::string("the window's layout ") + kFigureFile + " is in none of the folders " +
              (tried.empty() ? "(the program's own folder is unknown)" : tried) +
              "; set TAV_RESOURCE_DIR to the folder that holds it");
}

}  // namespace

Handle open_main_window(Runtime& rt) {
  Objects& gr = rt.objects;
  const Handle fig = openfig(rt, figure_file(), "reuse");
  // A desktop window: the window backend gives it menus, a log pane and a status line.
  gr.set_appdata(fig, "DesktopWindow", Value(1.0));
  gr.set(fig, "Color", gr.get(0, "defaultUicontrolBackgroundColor"));
  guidata(gr, fig, guihandles(gr, fig));
  return fig;
}

}  // namespace tav
