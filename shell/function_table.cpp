// The table of named functions: one line each, with the declared counts of inputs and results
// and the names of the inputs it reads; the local functions of the modules that have them.
#include "shell/function_table.h"

#include "consensus/consensus.h"
#include "display/legend.h"
#include "formats/files.h"
#include "geometry/geometry.h"
#include "platform/console.h"
#include "shell/by_name.h"
#include "shell/framework.h"
#include "shell/hand_adapters.h"
#include "shell/tavrel6.h"
#include "sliding/sliding.h"

namespace tav {
namespace {

constexpr int kAny = -1;

std::vector<FunctionEntry> stub_callback_entries() {
  std::vector<FunctionEntry> out;
  for (const StubCallback& c : stub_callbacks()) {
    const std::string line = c.line;
    out.push_back(named_raw(c.name, -4, kAny, [line](Session&, const List&, int) {
      console_write(line + "\n");
      return List{};
    }));
  }
  return out;
}

}  // namespace

const std::vector<FunctionEntry>& function_table() {
  static const std::vector<FunctionEntry> table = [] {
    const std::string protocol = " numfull numopen members types";
    std::vector<FunctionEntry> t = {
        named_raw("tavrel6", kAny, kAny, tavrel6),
        named("zidudezu", 1, 1, run_action_by_name, "action"),
        named("CopyDrawing", 1, 0, copy_drawing_to_clipboard),
        named("CopyImageEPS", 1, 0, export_drawing_to_chosen_file),
        named("incrementsymbolsize", 2, 0, grow_markers, "h increment"),
        named("setsymbolfill", 2, 0, fill_markers, "h isfilled"),
        named_raw("guidata", 2, 1, guidata_by_name),
        named("guihandles", 1, 1, guihandles_by_name, "h"),
        named("openfig", 2, 1, openfig_by_name, "filename policy"),
        named("basereg", 3, 1, baseline_registration, "x b1 b2"),
        named("cla", kAny, 1, cla),
        named("getconsensus", 1, 2, plain_consensus, "x"),
        named("getconsensusdist", 5, 2, distance_consensus, "x" + protocol),
        named("getconsensusdistu", 6, 2, distance_consensus_onto, "x" + protocol + " xref"),
        named("getconsensusmix2", 5, 2, bending_consensus, "x" + protocol),
        named("getconsensusmix5", 5, 2, iterated_bending_consensus, "x" + protocol),
        named("getpsup", 2, 1, fit_onto, "x xref"),
        named("mfload", 1, 2, choose_data_file_by_name),
        named("showsemiproto2", 8, 1, draw_protocol_by_name,
              "x cmembers ctypes numfull numopen xlines omithelpers ccode"),
        named("showshape", 2, 1, draw_configurations_by_name, "x xform"),
        named("showshape_tangent", 5, 2, draw_tangents_of, "x" + protocol),
        named("isvarname", 1, 1, isvarname, "s"),
        named_raw("movegui", kAny, 0, movegui_by_name),
        named("centpos", 1, 1, centroid_of, "x"),
        named("centsize", 1, 1, centroid_size, "x"),
        named("tavreldist", 4, 1, damped_distance_step, "reference target closedend"),
        named("makeLfinal", 3, 1, bending_energy_matrix, "reference"),
        named("tavrel2", 4, 1, damped_bending_step_by_name, "reference target closedend Lfinal"),
        named("dload", 1, 1, read_data_file_by_name, "fname"),
        named("umaker", 3, 1, quadratic_tangent_basis, "target cloop"),
        named("iskeyword", 1, 1, iskeyword_by_name, "s"),
        named("umakera", 3, 1, chord_tangent_basis, "target cloop"),
        named("gettspl", 1, 1, spline_system, "x"),
        named("vertxy", 1, 1, point_matrix, "x"),
        named("umaker2", 3, 1, bending_slide_basis, "target cloop"),
        named("slope_est", 1, 2, end_tangent, "data"),
        named("uspline", 2, 1, spline_kernel, "x1 x2"),
        // Added after the program's original functions: the legend's check box.
        named("showlegend", 1, 0, showlegend, "on"),
    };
    t[0].locals = stub_callback_entries();
    t[0].local_lines = std::vector<int>(t[0].locals.size(), 1);
    for (FunctionEntry& e : t) {
      if (e.name == "guidata") {
        e.locals = {named("getParentFigure", 1, 1, parent_figure, "h")};
        e.local_lines = {99};
      } else if (e.name == "guihandles") {
        e.locals = {named("getParentFigure", 1, 1, parent_figure, "h"),
                    named("createHandles", 1, 1, create_handles, "fig")};
        e.local_lines = {78, 86};
      } else if (e.name == "movegui") {
        e.locals = {named("get_parent_fig", 1, 1, parent_figure, "h")};
        e.local_lines = {166};
      }
    }
    return t;
  }();
  return table;
}

}  // namespace tav
