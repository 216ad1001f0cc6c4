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
std::string chosen_file(Session& session) {
  const std::optional<FileChoice> choice = session.ui().open_file("*.*", "Enter file to Load?");
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

// FileBox: the file's name and the format it was read in, its count of configurations and of
// points, and any unread lines.
void show_file_status(Session& session, const char* format, const std::string& file,
                      const std::string& how, Index configurations, Index points) {
  const Sample& sample = session.state.loaded;
  const std::string unread =
      sample.unread_lines == 0
          ? std::string()
          : "\n " + std::to_string(sample.unread_lines) + " lines after the end line unread";
  set_status(
      session, "FileBox",
      sprintf_m(format, {Value(file + " as " + how), Value(static_cast<double>(configurations)),
                         Value(static_cast<double>(points))}) +
          unread);
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
  const std::string path = chosen_file(session);
  if (path.empty()) return;
  const Protocol before = session.state.protocol;
  if (!loaded(session, [&] { return load_sample(session, path); })) return;
  const EngineState& s = session.state;
  show_file_status(session, "File: %s \\n %3.0f Specimens \\n %3.0f Landmarks", s.loaded.file,
                   s.loaded.format, s.loaded.specimens(), s.loaded.points());
  show_protocol_forgotten(session, before);
  draw_configurations(session.objects(), s.sample, "b*");
  label_last_line(session.objects(), "Specimens");
  session.state.shown = EngineState::Shown::sample;
  session.state.helpers_hidden = false;
}

void action_load_reference(Session& session) {
  const std::string path = chosen_file(session);
  if (path.empty()) return;
  if (!loaded(session, [&] { return load_reference(session, path); })) return;
  const EngineState& s = session.state;
  show_file_status(session, "File: %s \\n %3.0f Reference with \\n %3.0f Landmarks",
                   shown_name(std::filesystem::path(path).filename().string()), s.reference_format,
                   s.reference.rows(), (s.reference.cols() - 1) / 2);
  draw_configurations(session.objects(), s.sample, "b*");
  label_last_line(session.objects(), "Specimens");
  draw_configurations(session.objects(), s.reference, "k+");
  label_last_line(session.objects(), "Reference");
}

}  // namespace tav
