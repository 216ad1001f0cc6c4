// Loading a curve protocol, or a sliders table, for the loaded sample.
#include <new>
#include <optional>

#include "engine/engine.h"
#include "engine/load_notes.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/input.h"
#include "formats/protocol.h"
#include "formats/sliders.h"
#include "platform/console.h"
#include "platform/format.h"

namespace tav {
namespace {

// A file that is neither a sliders table nor protocol rows, read as the landmark file it
// seems to be (the caller then says which it is), or refused with what a protocol's rows hold.
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
DataFile read_protocol(const std::string& text, const std::string& name, Index k) {
  if (!is_sliders_table(text)) return read_protocol_rows(name, text);
  if (k < 1)
    throw Error("protocol " + name + ": no data are loaded; load a sample before its protocol");
  DataFile r;
  r.x = protocol_from_sliders(read_sliders(name, text), k, name);
  return r;
}

// The protocol rows of the file, or Error with what the user reads.
DataFile protocol_rows(const std::string& text, const std::string& name, Index k) {
  DataFile f;
  try {
    f = read_protocol(text, name, k);
  } catch (const std::bad_alloc&) {
    throw too_large_for_memory(name);
  }
  if (f.kind != FileKind::Rows)
    throw Error("The file " + name + " is a " + file_kind_name(f.kind) +
                " landmark file, not a curve protocol");
  if (f.x.size() == 0) throw Error("The protocol file " + name + " holds no rows");
  if (f.decimal_comma) throw Error("The protocol file " + name + ": " + decimal_comma_advice());
  check_protocol(f.x, name, k);
  return f;
}

// Refuses a protocol naming a point the data lack, before any routine indexes it.
void refuse_points_beyond_data(const Matrix& rows, const std::string& name, Index k) {
  for (Index i = 0; i < rows.rows(); ++i)
    if (rows(i, 2) > static_cast<double>(k))
      throw Error("protocol " + name + ", row " + std::to_string(i + 1) + " names point " +
                  sprintf_m("%g", {rows(i, 2)}) + ", but the data have " + std::to_string(k) +
                  " points; the consensus was not run. Load the data this protocol was made for.");
}

std::vector<PointKind> kinds_of(const Row& types) {
  std::vector<PointKind> kinds;
  for (Index i = 0; i < types.size(); ++i)
    kinds.push_back(types(i) == 0   ? PointKind::landmark
                    : types(i) == 1 ? PointKind::semilandmark
                                    : PointKind::helper);
  return kinds;
}

Row types_of(const std::vector<PointKind>& kinds) {
  Row types(static_cast<Index>(kinds.size()));
  for (size_t i = 0; i < kinds.size(); ++i)
    types(static_cast<Index>(i)) = static_cast<int>(kinds[i]);
  return types;
}

void count_kinds(Protocol& p) {
  p.landmarks = p.semilandmarks = p.helpers = 0;
  for (const PointKind kind : p.kinds)
    ++(kind == PointKind::landmark       ? p.landmarks
       : kind == PointKind::semilandmark ? p.semilandmarks
                                         : p.helpers);
}

}  // namespace

// The file is read once, so a pipe or a device serves as well as a file.
Notes load_protocol(Session& session, const std::string& path) {
  return load_protocol_text(session, path, bytes_of("protocol", path));
}

Notes load_protocol_text(Session& session, const std::string& path, const std::string& text) {
  EngineState& s = session.state;
  const Index k = s.loaded.points();
  const std::string name = shown_name(path);
  Notes notes;
  DataFile f;
  try {
    f = protocol_rows(text, name, k);
  } catch (const Error& e) {
    throw Error(e.what() + std::string(kNothingLoaded));
  }
  if (auto note = unread_lines_note(name, f)) notes.push_back(std::move(*note));
  refuse_points_beyond_data(f.x, name, k);

  // Only an accepted protocol replaces the earlier one: a refused one changes nothing.
  Protocol& p = s.protocol;
  const Row earlier = types_of(p.kinds);
  p.rows = std::move(f.x);
  p.file = file_name(path);
  if (p.rows(0, 0) != 0)
    notes.push_back(
        "The first curve listed is not Curve 0 (the set of all Landmarks), the software assumes "
        "only semilandmarks and helpers are present");
  p.kinds = kinds_of(protocol_point_types(p.rows, k, earlier));
  count_kinds(p);
  p.curves = protocol_curves(p.rows, [](int j) { console_show("j", Value(j)); });
  p.has_curves = true;
  p.points = k;
  return notes;
}

}  // namespace tav
