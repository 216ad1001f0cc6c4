// "LoadProtocol": the window's dialog, the engine's load of the protocol, the run its check
// boxes select, and what the window shows of them.
#include <new>

#include "engine/consensus_run.h"
#include "engine/controls.h"
#include "engine/engine.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "formats/input.h"
#include "platform/format.h"

namespace tav {
namespace {

// The pointer is "watch" while the action works and "arrow" however it ends.
class WatchPointer {
 public:
  explicit WatchPointer(Session& session)
      : session_(session),
        figure_(session.objects().has_current_figure() ? session.objects().gcf() : -1) {
    set_pointer(session, "watch");
    session.ui().drawnow();
  }
  ~WatchPointer() {
    if (figure_ > 0 && session_.objects().valid(figure_))
      session_.objects().set_current_figure(figure_);
    set_pointer(session_, "arrow");
  }

 private:
  Session& session_;
  Handle figure_;
};

// The run after a protocol was loaded; what stopped it is told, the earlier results kept.
bool ran(Session& session, const std::string& shown) {
  std::string stopped;
  try {
    const RunReport report = run_consensus(session);
    if (report.end != RunEnd::stopped) return true;
    stopped = report.ending;
  } catch (const Error& e) {
    stopped = e.what();
  } catch (const std::bad_alloc&) {
    stopped = too_large_for_memory(session.state.loaded.file).what();
  }
  // Specimen numbers are the data file's line numbers, curve codes the protocol's.
  tell_user(session, "The consensus run of " + session.state.loaded.file + " with protocol " +
                         shown + " stopped: " + stopped +
                         "; the earlier sample and reference are kept");
  return false;
}

}  // namespace

void action_load_protocol(Session& session) {
  const std::optional<FileChoice> choice = session.ui().open_file(
      "*.*", "Load a curve protocol (rows: curve, 0, point, kind) or a sliders table");
  if (!choice) return;
  try {
    for (const std::string& note : load_protocol(session, choice->path())) tell_user(session, note);
  } catch (const Error& e) {
    tell_user(session, e.what());
    return;
  }
  session.ui().file_loaded(choice->path());
  const Protocol& read = session.state.protocol;
  set_status_note(session, "Read the protocol " + read.file + ": " +
                               std::to_string(read.landmarks) + " landmarks, " +
                               std::to_string(read.semilandmarks) + " semi-landmarks, " +
                               std::to_string(read.helpers) + " helper points");
  const WatchPointer watch(session);
  if (!ran(session, shown_name(choice->path()))) return;
  show_file_status(session);  // the points' kinds are the protocol's now
  follow_shape_space(session);
  const Protocol& p = session.state.protocol;
  set_status(
      session, "ProtoBox",
      sprintf_m(
          "Protocol File: %s \\n %i Landmarks \\n %i Semi-Landmarks\\n %i Helper Points",
          {Value(p.file), Value(static_cast<double>(p.landmarks)),
           Value(static_cast<double>(p.semilandmarks)), Value(static_cast<double>(p.helpers))}));
}

}  // namespace tav
