// "Load" and "LoadReference": a sample or a user reference from a numeric text or TPS file.
#include "display/display.h"
#include "engine/controls.h"
#include "engine/engine_state.h"
#include "engine/files.h"
#include "engine/zidudezu.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/format.h"

namespace tav {
namespace {

// The chosen file's matrix, or nothing after a cancel or a file that gave no configuration
// (the user has been told why).
bool read_configurations(const char* what, MfloadResult& r) {
  try {
    r = mfload();
  } catch (const Error& e) {
    // A refused file (its name, line and value in the text) is shown, not only written out.
    tell_user(std::string(e.what()) + "; nothing was loaded");
    return false;
  }
  if (r.cancelled) return false;
  if (!r.file.opened) {
    tell_user("Cannot open the " + std::string(what) + " file " + r.path + "; nothing was loaded");
    return false;
  }
  if (r.file.x.size() == 0) {
    tell_user("The " + std::string(what) + " file " + r.path + " holds no numbers; nothing was loaded");
    return false;
  }
  if (r.file.x.cols() % 2 == 0) {
    tell_user("The " + std::string(what) + " file " + r.path + " has " +
              std::to_string(r.file.x.cols()) +
              " numbers per line; a configuration needs x and y of every point and one trailing "
              "value (an odd count); nothing was loaded");
    return false;
  }
  for (const std::string& w : r.file.warnings) tell_user(w);
  return true;
}

// Lines after the end line are not read; the user hears how many.
std::string unread_note(const MfloadResult& r) {
  if (r.file.unread_lines == 0) return "";
  const std::string n = std::to_string(r.file.unread_lines);
  console_write("file " + r.path + ": reading stopped at the end line after line " +
                std::to_string(r.file.x.rows()) + "; " + n + " further lines were left unread\n");
  return "\n " + n + " lines after the end line unread";
}

// FileBox: the file's name, its count of configurations and of points, and any unread lines.
void show_file_status(const char* format, const MfloadResult& r) {
  const double m = static_cast<double>(r.file.x.rows()), n = static_cast<double>(r.file.x.cols());
  set_status("FileBox", sprintf_m(format, {Value(r.fn), Value(m), Value((n - 1) / 2)}) + unread_note(r));
}

Row plain_consensus(const Matrix& x, const std::string& path) {
  try {
    return consensus_routines().plain(x).y;
  } catch (const Error& e) {
    throw Error("file " + path + ": " + e.what());
  }
}

}  // namespace

void action_load() {
  MfloadResult r;
  if (!read_configurations("data", r)) return;
  Row oref;
  try {
    oref = plain_consensus(r.file.x, r.path);
  } catch (const Error& e) {
    tell_user(std::string(e.what()) + "; nothing was loaded");
    return;
  }
  EngineState& s = engine_state();
  s.LOADED = r.file.x;
  s.DATA = r.file.x;
  s.FNAME1 = r.fn;
  s.specimen_ids = r.file.specimen_ids;
  show_file_status("File: %s \\n %3.0f Specimens \\n %3.0f Landmarks", r);
  s.oref = oref;
  s.userreference = false;
  showshape(s.DATA, "b*");
  s.shown = EngineState::Shown::sample;
  mark_action_done();
}

void action_load_reference() {
  EngineState& s = engine_state();
  MfloadResult r;
  if (!read_configurations("reference", r)) return;
  if (s.DATA.size() == 0) {
    tell_user("Load the data before a user reference: the reference is compared with the "
              "sample's plain consensus; nothing was loaded");
    return;
  }
  const Row oref = plain_consensus(s.LOADED, "(the loaded data)");
  s.REFERENCE = r.file.x;
  const Index nr = s.DATA.cols();
  show_file_status("File: %s \\n %3.0f Reference with \\n %3.0f Landmarks", r);
  s.oref = oref;
  s.userreference = true;
  showshape(s.DATA, "b*");
  showshape(s.REFERENCE, "k+");
  if (nr != s.REFERENCE.cols())
    ui().message("The number of landmarks in the User Reference loaded does not match the number of LM in the data");
  mark_action_done();
}

}  // namespace tav
