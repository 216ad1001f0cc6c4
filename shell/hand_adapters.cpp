#include "shell/hand_adapters.h"

#include "engine/run_action.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/input.h"
#include "platform/shown_name.h"
#include "shell/framework.h"
#include "sliding/sliding.h"

namespace tav {
namespace {

// The file read once, or none when it cannot be opened (the callers by name get -1 then).
std::optional<DataFile> read_if_it_opens(const std::string& fname) {
  std::optional<std::string> text;
  try {
    text = read_input(fname);
  } catch (const std::bad_alloc&) {
    throw too_large_for_memory(shown_name(fname));
  }
  if (!text) return std::nullopt;
  return read_data_text(shown_name(fname), *text);
}

}  // namespace

void run_action_by_name(Session& session, const Value& action) {
  run_action(session, action.is_text() ? action.text() : std::string());
}

int draw_configurations_by_name(Objects& g, const Matrix& x,
                                const std::optional<std::string>& xform) {
  return xform ? draw_configurations(g, x, *xform) : draw_configurations(g, x);
}

Handle openfig_by_name(Runtime& rt, const std::string& filename,
                       const std::optional<std::string>& policy) {
  return policy ? openfig(rt, filename, *policy) : openfig(rt, filename);
}

std::optional<ChosenDataFile> choose_data_file_by_name(Backend& ui) {
  const std::optional<FileChoice> choice = ui.open_file("*.*", "Enter file to Load?");
  if (!choice) return std::nullopt;
  return ChosenDataFile{read_if_it_opens(choice->path()), shown_name(choice->name)};
}

Value read_data_file_by_name(const std::string& fname) {
  const std::optional<DataFile> file = read_if_it_opens(fname);
  return file ? Value(file->x) : Value(-1.0);
}

Row damped_bending_step_by_name(const Value&, const Row& target, bool closedend,
                                const Matrix& Lfinal) {
  return damped_bending_step(target, closedend, Lfinal);
}

Value iskeyword_by_name(const std::optional<Value>& s) {
  if (!s) return Value(iskeyword());
  return Value(s->is_text() && iskeyword(s->text()) ? 1.0 : 0.0);
}

Value guihandles_by_name(Objects& g, const std::optional<Value>& h) {
  if (!h) return guihandles(g);
  const Matrix m = from_value<Matrix>(*h);
  if (m.size() != 1 || !g.valid(m(0, 0)))
    throw Error("H must be the handle to a figure or figure descendent.");
  return guihandles(g, m(0, 0));
}

int draw_protocol_by_name(Objects& g, const Matrix& x, const CurveMembers& members,
                          const PointTypes& types, int numfull, int numopen,
                          const std::optional<OrEmpty<bool>>& xlines,
                          const std::optional<OrEmpty<bool>>& omithelpers,
                          const std::optional<OrEmpty<ColourCode>>& ccode) {
  return draw_protocol(g, x, curve_protocol(numfull, numopen, members, &types),
                       xlines && xlines->value.value_or(false),
                       omithelpers && omithelpers->value.value_or(true),
                       ccode ? ccode->value.value_or(ColourCode::own) : ColourCode::own);
}

List guidata_by_name(Session& session, const List& in, int nout) {
  if (in.empty()) throw Error("guidata needs at least 1 inputs, got 0");
  const Handle h = from_value<double>(in[0]);
  if (in.size() >= 2) {
    if (nout > 0)
      throw Error(
          "Run-time Error: File: guidata Line: 1 Column: 1 The function \"guidata\" was "
          "called with more than the declared number of outputs (0).");
    guidata(session.objects(), h, in[1]);
    return {};
  }
  return {guidata(session.objects(), h)};
}

List movegui_by_name(Session& session, const List& in, int) {
  if (in.size() > 3)
    throw Error("movegui takes at most 3 inputs, got " + std::to_string(in.size()));
  movegui(session.runtime, std::vector<Value>(in.begin(), in.end()));
  return {};
}

}  // namespace tav
