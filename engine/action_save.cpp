// The six save actions: the window's dialog, then the engine's save of the processed sample or
// the reference, with all points, landmarks and semi-landmarks, or landmarks only.
#include "engine/controls.h"
#include "engine/engine.h"
#include "engine/run_action.h"
#include "engine/session.h"

namespace tav {
namespace {

struct SaveDialog {
  Result result;
  const char* title;
};

SaveDialog sample_save(SaveKind kind) {
  switch (kind) {
    case SaveKind::All: return {Result::sample, "File Name for Procrustes Coordinates"};
    case SaveKind::LandmarksSemilandmarks:
      return {Result::sample_landmarks_semilandmarks, "File Name for Landmarks+Semilandmarks"};
    case SaveKind::Landmarks: return {Result::sample_landmarks, "File Name for Landmarks Only"};
  }
  return {Result::sample, ""};
}

SaveDialog reference_save(SaveKind kind) {
  switch (kind) {
    case SaveKind::All: return {Result::reference, "File Name for Reference (All points)"};
    case SaveKind::LandmarksSemilandmarks:
      return {Result::reference_landmarks_semilandmarks,
              "File Name for Reference (LM and Semi-LM) "};
    case SaveKind::Landmarks:
      return {Result::reference_landmarks, "File Name for Reference (LM only) "};
  }
  return {Result::reference, ""};
}

// Refuses, before a file is asked for, to write a result that is not there.
void save(Session& session, const SaveDialog& dialog) {
  if (const auto missing = missing_result(session, dialog.result))
    return tell_user(session, *missing);
  const std::optional<FileChoice> choice = session.ui().save_file("*.*", dialog.title);
  if (!choice) return;
  try {
    for (const std::string& note : save_result(session, dialog.result, choice->path()))
      tell_user(session, note);
  } catch (const Error& e) {
    tell_user(session, e.what());
  }
}

}  // namespace

void action_save(Session& session, SaveKind kind) { save(session, sample_save(kind)); }

void action_save_reference(Session& session, SaveKind kind) { save(session, reference_save(kind)); }

}  // namespace tav
