// "Load" and "LoadReference": a sample or a user reference from a numeric text or TPS file.
#include <cmath>
#include <new>

#include "display/display.h"
#include "display/legend.h"
#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/foreign_text.h"
#include "formats/input.h"
#include "platform/console.h"
#include "platform/format.h"
#include "platform/progress.h"

namespace tav {
namespace {

// Squares of coordinates beyond this overflow a double when a centroid size sums them.
constexpr double kLargestCoordinate = 1e150;

// Why the rows of a file cannot be configurations, or "" when they can.
std::string configuration_problem(const std::string& what, const ChosenDataFile& r) {
  const DataFile& f = r.file;
  const std::string file = "The " + what + " file " + r.path;
  if (f.x.size() == 0) return file + " holds no numbers";
  if (f.decimal_comma || (f.commas && f.x.cols() % 2 == 0))
    return file + ": " + decimal_comma_advice();
  if (f.x.cols() % 2 == 0)
    return file + " has " + std::to_string(f.x.cols()) +
           " numbers per line; a configuration needs x and y of every point and one trailing "
           "value (an odd count)";
  for (Index i = 0; i < f.x.rows(); ++i)
    for (Index c = 0; c + 1 < f.x.cols(); ++c)
      if (!(std::fabs(f.x(i, c)) <= kLargestCoordinate))
        return file + (f.tps ? ", specimen " : ", line ") + std::to_string(i + 1) +
               ": the coordinate " + sprintf_m("%g", {Value(f.x(i, c))}) +
               " is too large to superimpose (sizes beyond 1e150 overflow); rescale the data "
               "(for instance to millimetres or metres)";
  return "";
}

// The chosen file's matrix, or nothing after a cancel or a file that gave no configuration
// (the user has been told why).
bool read_configurations(Session& session, const char* what, ChosenDataFile& r) {
  try {
    r = choose_data_file(session.ui());
  } catch (const Error& e) {
    // A refused file (its name, line and value in the text) is shown, not only written out.
    tell_user(session, std::string(e.what()) + "; nothing was loaded");
    return false;
  }
  if (r.cancelled) return false;
  if (!r.file.opened) {
    tell_user(session,
              "Cannot open the " + std::string(what) + " file " + r.path + "; nothing was loaded");
    return false;
  }
  const std::string problem = configuration_problem(what, r);
  if (!problem.empty()) {
    tell_user(session, problem + "; nothing was loaded");
    return false;
  }
  for (const std::string& w : r.file.warnings) tell_user(session, w);
  return true;
}

// Lines after the end line are not read. When some of them hold numbers the user is told in a
// box, every time; the status says how many lines were left.
std::string unread_note(Session& session, const ChosenDataFile& r) {
  const DataFile& f = r.file;
  if (f.unread_lines == 0) return "";
  const std::string n = std::to_string(f.unread_lines);
  if (!tell_lines_after_end(session, r))
    console_write("file " + r.path + ": reading stopped at the end line " +
                  std::to_string(f.end_line) + "; " + n + " further lines were left unread\n");
  return "\n " + n + " lines after the end line unread";
}

// FileBox: the file's name and the format it was read in, its count of configurations and of
// points, and any unread lines.
void show_file_status(Session& session, const char* format, const ChosenDataFile& r) {
  const double m = static_cast<double>(r.file.x.rows()), n = static_cast<double>(r.file.x.cols());
  const std::string file = r.fn + " as " + format_read(r.file);
  set_status(
      session, "FileBox",
      sprintf_m(format, {Value(file), Value(m), Value((n - 1) / 2)}) + unread_note(session, r));
}

Consensus plain_consensus(Session& session, const Matrix& x, const std::string& path) {
  try {
    return session.routines.plain(x);
  } catch (const Error& e) {
    throw Error("file " + path + ": " + e.what());
  } catch (const std::bad_alloc&) {
    throw too_large_for_memory(path);
  }
}

// A protocol is matched to the data by point numbers: over data of another point count its
// types and curves would pick the wrong points, so it is forgotten and the status says so.
void forget_protocol_of_other_point_count(Session& session, Index points) {
  EngineState& s = session.state;
  const bool has_protocol = s.has_curves || s.lmtypelist.size() > 0;
  if (!has_protocol || s.protocol_points == points) return;
  set_status(session, "ProtoBox",
             "Protocol forgotten: " + (s.FNAMEP.empty() ? std::string("it") : s.FNAMEP) +
                 " was for " + std::to_string(s.protocol_points) + " points, \n the data have " +
                 std::to_string(points) + "; load a protocol for them");
  console_write("the protocol " + s.FNAMEP + " was for " + std::to_string(s.protocol_points) +
                " points and is forgotten: the new data have " + std::to_string(points) + "\n");
  s.PROTOC = Matrix(0, 0);
  s.FNAMEP.clear();
  s.curves = CurveProtocol{};
  s.has_curves = false;
  s.lmtypelist = Row(0);
  s.numberlm = s.numberslm = s.numberhlp = 0;
  s.protocol_points = 0;
}

// Each specimen's centroid size as loaded. Another program's file carries it as the trailing
// value, which a Morphologika file written by the program holds from the sample first loaded
// (its coordinates are superimposed, of unit size); the trailing value of numeric rows may be
// an ID, so their sizes come from the coordinates.
Row sizes_as_loaded(const DataFile& f) {
  if (f.kind == FileKind::Rows || f.x.cols() == 0) return foreign::centroid_sizes(f.x);
  return f.x.col(f.x.cols() - 1).transpose();
}

}  // namespace

void action_load(Session& session) {
  ChosenDataFile r;
  if (!read_configurations(session, "data", r)) return;
  Consensus plain;
  try {
    plain = plain_consensus(session, r.file.x, r.path);
  } catch (const Error& e) {
    tell_user(session, std::string(e.what()) + "; nothing was loaded");
    return;
  }
  EngineState& s = session.state;
  s.DATA = r.file.x;
  s.FNAME1 = r.fn;
  s.data_format = format_read(r.file);
  s.specimen_ids = r.file.specimen_ids;
  s.tps_layout = r.file.tps_layout;
  s.centroid_sizes = sizes_as_loaded(r.file);
  s.trailing_text = r.file.trailing;
  show_file_status(session, "File: %s \\n %3.0f Specimens \\n %3.0f Landmarks", r);
  s.LOADED = std::move(r.file.x);  // the file's matrix is not needed again: no third copy
  s.oref = plain.y;
  s.loaded_plain = std::move(plain);
  s.userreference = false;
  forget_protocol_of_other_point_count(session, (s.DATA.cols() - 1) / 2);
  progress_tick();  // a large sample took a while to store; the drawing takes as long again
  draw_configurations(session.objects(), s.DATA, "b*");
  label_last_line(session.objects(), "Specimens");
  s.shown = EngineState::Shown::sample;
  s.helpers_hidden = false;
  session.action_done = true;
}

void action_load_reference(Session& session) {
  EngineState& s = session.state;
  ChosenDataFile r;
  if (!read_configurations(session, "reference", r)) return;
  if (s.DATA.size() == 0) {
    tell_user(session,
              "Load the data before a user reference: the reference is compared with the "
              "sample's plain consensus; nothing was loaded");
    return;
  }
  if (r.file.x.rows() > 1) {
    tell_user(
        session,
        "The reference file " + r.path + " holds " + std::to_string(r.file.x.rows()) +
            " configurations; a user reference is one configuration on one line. Keep the one "
            "to slide onto; nothing was loaded");
    return;
  }
  const Row oref = plain_consensus(session, s.LOADED, "(the loaded data)").y;
  s.REFERENCE = r.file.x;
  s.reference_trailing_text = r.file.trailing.empty() ? std::string() : r.file.trailing.front();
  s.reference_format = format_read(r.file);
  const Index nr = s.DATA.cols();
  show_file_status(session, "File: %s \\n %3.0f Reference with \\n %3.0f Landmarks", r);
  s.oref = oref;
  s.userreference = true;
  draw_configurations(session.objects(), s.DATA, "b*");
  label_last_line(session.objects(), "Specimens");
  draw_configurations(session.objects(), s.REFERENCE, "k+");
  label_last_line(session.objects(), "Reference");
  if (nr != s.REFERENCE.cols())
    session.ui().message(
        "The number of landmarks in the User Reference loaded does not match the number of LM in "
        "the data");
  session.action_done = true;
}

}  // namespace tav
