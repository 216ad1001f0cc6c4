// The table of named functions: name, adapter, declared counts of inputs and results, and the
// local functions of the four modules that have them.
#include "shell/function_table.h"

#include "platform/console.h"
#include "shell/adapters.h"
#include "shell/tavrel6.h"

namespace tav {
namespace {

constexpr int kAny = -1;

FunctionEntry entry(const std::string& name, Adapter a, int in, int out) {
  return FunctionEntry{name, std::move(a), in, out, {}, {}};
}

std::vector<FunctionEntry> stub_callback_entries() {
  std::vector<FunctionEntry> out;
  for (const StubCallback& c : stub_callbacks()) {
    const std::string line = c.line;
    out.push_back(entry(
        c.name,
        [line](Session&, const List&, int) {
          console_write(line + "\n");
          return List{};
        },
        -4, kAny));
  }
  return out;
}

}  // namespace

const std::vector<FunctionEntry>& function_table() {
  static const std::vector<FunctionEntry> table = [] {
    std::vector<FunctionEntry> t = {
        entry("tavrel6", tavrel6, kAny, kAny),
        entry("zidudezu", adapt_zidudezu(), 1, 1),
        entry("CopyBigImage", adapt_CopyBigImage(), 1, 0),
        entry("CopyImageEPS", adapt_CopyImageEPS(), 1, 0),
        entry("incrementsymbolsize", adapt_incrementsymbolsize(), 2, 0),
        entry("setsymbolfill", adapt_setsymbolfill(), 2, 0),
        entry("guidata", adapt_guidata(), 2, 1),
        entry("guihandles", adapt_guihandles(), 1, 1),
        entry("openfig", adapt_openfig(), 2, 1),
        entry("basereg", adapt_basereg(), 3, 1),
        entry("cla", adapt_cla(), kAny, 1),
        entry("getconsensus", adapt_getconsensus(), 1, 2),
        entry("getconsensusdist", adapt_getconsensusdist(), 5, 2),
        entry("getconsensusdistu", adapt_getconsensusdistu(), 6, 2),
        entry("getconsensusmix2", adapt_getconsensusmix2(), 5, 2),
        entry("getconsensusmix5", adapt_getconsensusmix5(), 5, 2),
        entry("getpsup", adapt_getpsup(), 2, 1),
        entry("mfload", adapt_mfload(), 1, 2),
        entry("showsemiproto2", adapt_showsemiproto2(), 8, 1),
        entry("showshape", adapt_showshape(), 2, 1),
        entry("showshape_tangent", adapt_showshape_tangent(), 5, 2),
        entry("isvarname", adapt_isvarname(), 1, 1),
        entry("movegui", adapt_movegui(), kAny, 0),
        entry("centpos", adapt_centpos(), 1, 1),
        entry("centsize", adapt_centsize(), 1, 1),
        entry("tavreldist", adapt_tavreldist(), 4, 1),
        entry("makeLfinal", adapt_makeLfinal(), 3, 1),
        entry("tavrel2", adapt_tavrel2(), 4, 1),
        entry("dload", adapt_dload(), 1, 1),
        entry("umaker", adapt_umaker(), 3, 1),
        entry("iskeyword", adapt_iskeyword(), 1, 1),
        entry("umakera", adapt_umakera(), 3, 1),
        entry("gettspl", adapt_gettspl(), 1, 1),
        entry("vertxy", adapt_vertxy(), 1, 1),
        entry("umaker2", adapt_umaker2(), 3, 1),
        entry("slope_est", adapt_slope_est(), 1, 2),
        entry("uspline", adapt_uspline(), 2, 1),
        // Added after the program's original functions: the legend's check box.
        entry("showlegend", adapt_showlegend(), 1, 0),
    };
    t[0].locals = stub_callback_entries();
    t[0].local_lines = std::vector<int>(t[0].locals.size(), 1);
    for (FunctionEntry& e : t) {
      if (e.name == "guidata") {
        e.locals = {entry("getParentFigure", adapt_parent_figure(), 1, 1)};
        e.local_lines = {99};
      } else if (e.name == "guihandles") {
        e.locals = {entry("getParentFigure", adapt_parent_figure(), 1, 1),
                    entry("createHandles", adapt_create_handles(), 1, 1)};
        e.local_lines = {78, 86};
      } else if (e.name == "movegui") {
        e.locals = {entry("get_parent_fig", adapt_parent_figure(), 1, 1)};
        e.local_lines = {166};
      }
    }
    return t;
  }();
  return table;
}

}  // namespace tav
