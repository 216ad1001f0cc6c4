#include "shell/main_window.h"

#include <cstdlib>
#include <filesystem>

#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

const char* const kFigureFile = "tavrel6.fig";

// Where the window's layout is read from, first found wins: the folder named by the environment
// variable TAV_RESOURCE_DIR (a user's own layout), resources/ beside the program's folder (an
// installed or built program), the source tree's resources/ the program was built from.
std::string figure_file() {
  std::vector<fs::path> candidates;
  if (const char* dir = std::getenv("TAV_RESOURCE_DIR"); dir && *dir) candidates.emplace_back(dir);
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) candidates.push_back(exe.parent_path().parent_path() / "resources");
#ifdef TAV_RESOURCE_DIR
  candidates.emplace_back(TAV_RESOURCE_DIR);
#endif
  for (const fs::path& dir : candidates)
    if (fs::is_regular_file(dir / kFigureFile, ec)) return (dir / kFigureFile).string();
  return candidates.empty() ? std::string(kFigureFile) : (candidates.back() / kFigureFile).string();
}

}  // namespace

Handle open_main_window() {
  const Handle fig = openfig(figure_file(), "reuse");
  // A desktop window: the window backend gives it menus, a log pane and a status line.
  gr().set_appdata(fig, "DesktopWindow", Value(1.0));
  gr().set(fig, "Color", gr().get(0, "defaultUicontrolBackgroundColor"));
  guidata(fig, guihandles(fig));
  return fig;
}

}  // namespace tav
