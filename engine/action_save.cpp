// The six save actions: the window's dialog, then the engine's save of the processed sample or
// the reference, with all points, landmarks and semi-landmarks, or landmarks only.
#include <filesystem>

#include "display/display.h"
#include "display/legend.h"
#include "engine/controls.h"
#include "engine/engine.h"
#include "engine/run_action.h"
#include "engine/session.h"

namespace tav {
namespace {

struct SaveDialog {
  Result result;
  const char* title;
  const char* what;  // what the file holds, for the status line
};

SaveDialog sample_save(SaveKind kind) {
  switch (kind) {
    case SaveKind::All:
      return {Result::sample, "File Name for Procrustes Coordinates", "the sample, all points,"};
    case SaveKind::LandmarksSemilandmarks:
      return {Result::sample_landmarks_semilandmarks, "File Name for Landmarks+Semilandmarks",
              "the sample's landmarks and semi-landmarks"};
    case SaveKind::Landmarks:
      return {Result::sample_landmarks, "File Name for Landmarks Only", "the sample's landmarks"};
  }
  return {Result::sample, "", ""};
}

SaveDialog reference_save(SaveKind kind) {
  switch (kind) {
    case SaveKind::All:
      return {Result::reference, "File Name for Reference (All points)",
              "the reference, all points,"};
    case SaveKind::LandmarksSemilandmarks:
      return {Result::reference_landmarks_semilandmarks,
              "File Name for Reference (LM and Semi-LM) ",
              "the reference's landmarks and semi-landmarks"};
    case SaveKind::Landmarks:
      return {Result::reference_landmarks, "File Name for Reference (LM only) ",
              "the reference's landmarks"};
  }
  return {Result::reference, "", ""};
}

// Whether no run has made results since the last Load (the sample is as read).
bool not_run(const EngineState& s) { return s.last_run.mode_text.empty() && !s.loaded.empty(); }

// After a Load alone the sample's results are its plain superimposition, as the batch tool
// writes them: the plain consensus Load computed is run (without a protocol nothing slides),
// and drawn, so that the drawing shows what is written.
// Without a protocol there are no landmarks to select: that save is refused as it was.
bool run_plain_if_not_run(Session& session, Result result) {
  EngineState& s = session.state;
  const bool all_points = result == Result::sample || result == Result::reference;
  if (!not_run(s) || (!all_points && !s.protocol.loaded())) return false;
  RunObserver quiet;
  run(session, RunOptions{RunMode::plain}, quiet);
  Objects& g = session.objects();
  g.cla(g.gca());
  if (s.protocol.has_curves) {
    draw_protocol(g, s.sample, s.protocol.curves, control_value(session, "CurveButton") != 0);
  } else {
    draw_configurations(g, s.sample, "b*");
    label_last_line(g, "Specimens");
  }
  s.shown = EngineState::Shown::sample;
  s.helpers_hidden = false;
  return true;
}

// Refuses, before a file is asked for, to write a result that is not there.
void save(Session& session, const SaveDialog& dialog) {
  // After a Load alone the consensus is not there yet, but the run below makes it.
  if (const auto missing = missing_result(session, dialog.result);
      missing && !not_run(session.state))
    return tell_user(session, *missing);
  const std::optional<FileChoice> choice = session.ui().save_file("*.*", dialog.title);
  if (!choice) return;
  try {
    const bool plain = run_plain_if_not_run(session, dialog.result);
    for (const std::string& note : save_result(session, dialog.result, choice->path()))
      tell_user(session, note);
    const std::string file = std::filesystem::path(choice->path()).filename().string();
    set_status_note(session, std::string("Wrote ") + dialog.what + " of " +
                                 session.state.loaded.file +
                                 (plain ? " (its plain Procrustes superimposition, as no run was "
                                          "made since the Load)"
                                        : "") +
                                 " to " + file);
  } catch (const Error& e) {
    tell_user(session, e.what());
  }
}

}  // namespace

void action_save(Session& session, SaveKind kind) { save(session, sample_save(kind)); }

void action_save_reference(Session& session, SaveKind kind) { save(session, reference_save(kind)); }

}  // namespace tav
