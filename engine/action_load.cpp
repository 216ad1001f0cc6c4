// "Load" and "LoadReference": the window's dialog, then the engine's load, then what the window
// shows of it.
#include <filesystem>

#include "display/display.h"
#include "display/legend.h"
#include "engine/controls.h"
#include "engine/engine.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "platform/format.h"
#include "platform/shown_name.h"

namespace tav {
namespace {

// The chosen file's path, or "" after a cancel.
std::string chosen_file(Session& session, const char* title) {
  const std::optional<FileChoice> choice = session.ui().open_file("*.*", title);
  return choice ? choice->path() : std::string();
}

// The load's notes in boxes; a refusal in a box. Returns whether the load was done.
template <class Load>
bool loaded(Session& session, Load&& load) {
  try {
    for (const std::string& note : load()) tell_user(session, note);
    return true;
  } catch (const Error& e) {
    tell_user(session, e.what());
    return false;
  }
}

// What a Load leaves drawn: only the sample as loaded (and the user reference), nothing of an
// earlier drawing or its legend.
void draw_loaded(Session& session) {
  Objects& g = session.objects();
  const EngineState& s = session.state;
  g.cla(g.gca());
  draw_configurations(g, s.sample, "b*");
  label_last_line(g, "Specimens");
  if (s.user_reference) {
    draw_configurations(g, s.reference, "k+");
    label_last_line(g, "Reference");
  }
  session.state.shown = EngineState::Shown::sample;
  session.state.helpers_hidden = false;
}

// A protocol for another point count than the new data's is forgotten: the status says so.
void show_protocol_forgotten(Session& session, const Protocol& before) {
  const Protocol& p = session.state.protocol;
  if (!before.loaded() || p.loaded()) return;
  set_status(session, "ProtoBox",
             "Protocol forgotten: " + (before.file.empty() ? std::string("it") : before.file) +
                 " was for " + std::to_string(before.points) + " points, \n the data have " +
                 std::to_string(session.state.loaded.points()) + "; load a protocol for them");
}

}  // namespace

void action_load(Session& session) {
  const std::string path = chosen_file(session, "Load a sample (numbers, TPS, NTS, ...)");
  if (path.empty()) return;
  const Protocol before = session.state.protocol;
  if (!loaded(session, [&] { return load_sample(session, path); })) return;
  session.ui().file_loaded(path);
  session.state.reference_file.clear();
  show_file_status(session);
  const Sample& read = session.state.loaded;
  set_status_note(session, "Read " + read.file + " as " + read.format + ": " +
                               std::to_string(read.specimens()) + " specimens of " +
                               std::to_string(read.points()) + " points");
  show_protocol_forgotten(session, before);
  draw_loaded(session);
  follow_shape_space(session);
}

void action_load_reference(Session& session) {
  const std::string path =
      chosen_file(session, "Load a reference (one configuration of the sample's points)");
  if (path.empty()) return;
  if (!loaded(session, [&] { return load_reference(session, path); })) return;
  session.ui().file_loaded(path);
  session.state.reference_file = shown_name(std::filesystem::path(path).filename().string());
  show_file_status(session);
  set_status_note(session, "Read the reference " + session.state.reference_file + " as " +
                               session.state.reference_format);
  draw_loaded(session);
  follow_shape_space(session);
}

}  // namespace tav
