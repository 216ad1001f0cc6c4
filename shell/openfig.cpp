#include <filesystem>

#include "platform/backend.h"
#include "shell/framework.h"

namespace tav {
namespace {

// Longest application-data name the registry uses.
constexpr size_t kMaxTokenLength = 31;
// Each loaded window remembers the registry row it belongs to, so that a handle number taken
// over by another window after the user closed this one is not mistaken for it.
const char* const kTokenOfWindow = "OpenfigToken";

// The registered windows of the row that are still open, oldest first.
std::vector<Handle> open_windows(const Objects& gr, const std::string& token) {
  std::vector<Handle> figs;
  const Value stored = gr.appdata(0, token);
  if (!stored.is_matrix()) return figs;
  const Matrix& m = stored.matrix();
  for (Index i = 0; i < m.size(); ++i) {
    const Handle h = m.data()[i];
    if (gr.valid(h) && gr.type(h) == "figure" && gr.appdata(h, kTokenOfWindow) == Value(token))
      figs.push_back(h);
  }
  return figs;
}

Handle load_registered(Objects& gr, const std::string& path, const std::string& token) {
  const Handle fig = load_figure_file(gr, path);
  gr.set_appdata(fig, kTokenOfWindow, Value(token));
  return fig;
}

}  // namespace

Handle openfig(Runtime& rt, const std::string& filename, const std::string& policy) {
  Objects& gr = rt.objects;
  const std::filesystem::path file(filename);
  std::string ext = file.extension().string();
  const std::string name = file.stem().string();
  if (ext.empty()) ext = ".fig";
  if (ext != ".fig") throw Error("Argument must be a .fig file");
  if (policy != "new" && policy != "reuse")
    throw Error("Second input argument must be 'new' or 'reuse'.");
  const std::string path = (file.parent_path() / (name + ext)).string();

  const std::string token = (name + "_SINGLETON_handle").substr(0, kMaxTokenLength);
  std::vector<Handle> figs = open_windows(gr, token);
  if (policy == "new" || figs.empty()) figs.push_back(load_registered(gr, path, token));
  const Handle fig = figs.back();

  Row registry(static_cast<Index>(figs.size()));
  for (size_t i = 0; i < figs.size(); ++i) registry(static_cast<Index>(i)) = figs[i];
  gr.set_appdata(0, token, Value(registry));

  movegui(rt, {Value(fig), Value("onscreen")});
  if (gr.get(fig, "visible") == Value("on")) gr.set_current_figure(fig);
  return fig;
}

}  // namespace tav
