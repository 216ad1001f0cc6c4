// "LoadProtocol": read the curve protocol, build the curve lists and point types, run the
// consensus the controls ask for and draw its result.
#include <new>
#include <optional>

#include "engine/consensus_run.h"
#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/input.h"
#include "formats/protocol.h"
#include "formats/sliders.h"
#include "platform/console.h"
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

Index data_points(const Matrix& data) {
  if (data.size() == 0 || data.cols() % 2 == 0) return 0;
  return (data.cols() - 1) / 2;
}

void count_types(EngineState& s) {
  s.numberlm = s.numberslm = s.numberhlp = 0;
  for (Index i = 0; i < s.lmtypelist.size(); ++i) {
    const double t = s.lmtypelist(i);
    if (t == 0)
      s.numberlm += 1;
    else if (t == 1)
      s.numberslm += 1;
    else
      s.numberhlp += 1;
  }
}

// Refuses a protocol naming a point the data lack, before any routine indexes it.
bool points_within_data(Session& session, const Matrix& protoc, const std::string& file, Index k) {
  for (Index i = 0; i < protoc.rows(); ++i)
    if (protoc(i, 2) > static_cast<double>(k)) {
      tell_user(
          session,
          "protocol " + file + ", row " + std::to_string(i + 1) + " names point " +
              sprintf_m("%g", {protoc(i, 2)}) + ", but the data have " + std::to_string(k) +
              " points; the consensus was not run. Load the data this protocol was made for.");
      return false;
    }
  return true;
}

// A file that is neither a sliders table nor protocol rows, read as the landmark file it
// seems to be (the action then says which it is), or refused with what a protocol's rows hold.
DataFile read_protocol_rows(const std::string& name, const std::string& text) {
  DataFile r;
  try {
    r = read_data_text(name, text);
  } catch (const Error& e) {
    if (const auto problem = protocol_row_problem(name, text)) throw Error(*problem);
    throw Error(std::string(e.what()) + "; " + protocol_row_forms());
  }
  if (r.kind != FileKind::Rows || r.x.size() == 0 || r.x.cols() >= 4) return r;
  // Rows of three numbers are meant as sliders: the sliders reader names the row that is not.
  if (r.x.cols() == 3) {
    try {
      read_sliders(name, text);
    } catch (const Error& e) {
      throw Error(std::string(e.what()) + "; " + protocol_row_forms());
    }
  }
  if (const auto problem = protocol_row_problem(name, text)) throw Error(*problem);
  return r;
}

// A sliders table becomes the protocol table it describes; any other file is read as rows.
// The file is read once, so a pipe or a device serves as well as a file.
DataFile read_protocol(const std::string& fname, Index k) {
  const std::optional<std::string> text = read_input(fname);
  if (!text) return {};
  const std::string name = shown_name(fname);
  if (!is_sliders_table(*text)) return read_protocol_rows(name, *text);
  if (k < 1)
    throw Error("protocol " + name + ": no data are loaded; load a sample before its protocol");
  DataFile r;
  r.opened = true;
  r.x = protocol_from_sliders(read_sliders(name, *text), k, name);
  return r;
}

}  // namespace

void action_load_protocol(Session& session) {
  ChosenDataFile r;
  try {
    r = choose_data_file(session.ui(), [k = data_points(session.state.DATA)](const std::string& f) {
      return read_protocol(f, k);
    });
  } catch (const Error& e) {
    tell_user(session, std::string(e.what()) + "; nothing was loaded");
    return;
  }
  if (r.cancelled) return;
  if (!r.file.opened) {
    tell_user(session, "Cannot open the protocol file " + r.path + "; nothing was loaded");
    return;
  }
  if (r.file.kind != FileKind::Rows) {
    tell_user(session, "The file " + r.path + " is a " + file_kind_name(r.file.kind) +
                           " landmark file, not a curve protocol; nothing was loaded");
    return;
  }
  if (r.file.x.size() == 0) {
    tell_user(session, "The protocol file " + r.path + " holds no rows; nothing was loaded");
    return;
  }
  if (r.file.decimal_comma) {
    tell_user(session, "The protocol file " + r.path + ": " + decimal_comma_advice() +
                           "; nothing was loaded");
    return;
  }
  tell_lines_after_end(session, r);
  EngineState& s = session.state;
  const Index k = data_points(s.DATA);
  try {
    check_protocol(r.file.x, r.path, k);
  } catch (const Error& e) {
    tell_user(session, std::string(e.what()) + "; nothing was loaded");
    return;
  }
  if (!points_within_data(session, r.file.x, r.path, k)) return;

  // Only an accepted protocol replaces the earlier one: a refused one changes nothing shown.
  s.PROTOC = r.file.x;
  s.FNAMEP = r.fn;
  WatchPointer watch(session);
  if (s.PROTOC(0, 0) != 0)
    session.ui().message(
        "The first curve listed is not Curve 0 (the set of all Landmarks), the software assumes "
        "only semilandmarks and helpers are present");
  s.lmtypelist = protocol_point_types(s.PROTOC, k, s.lmtypelist);
  count_types(s);
  s.curves = protocol_curves(s.PROTOC, [](int j) { console_show("j", Value(j)); });
  s.has_curves = true;
  s.protocol_points = k;

  std::optional<std::string> stopped;
  try {
    run_consensus(session);
  } catch (const Error& e) {
    stopped = e.what();
  } catch (const std::bad_alloc&) {
    stopped = too_large_for_memory(s.FNAME1).what();
  }
  if (stopped) {
    // Specimen numbers are the data file's line numbers, curve codes the protocol's.
    tell_user(session, "The consensus run of " + s.FNAME1 + " with protocol " + r.path +
                           " stopped: " + *stopped + "; the earlier sample and reference are kept");
    return;
  }
  set_status(
      session, "ProtoBox",
      sprintf_m("Protocol File: %s \\n %i Landmarks \\n %i Semi-Landmarks\\n %i Helper Points",
                {Value(s.FNAMEP), Value(s.numberlm), Value(s.numberslm), Value(s.numberhlp)}));
  session.action_done = true;
}

}  // namespace tav
