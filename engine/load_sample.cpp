// Loading a sample and a user reference: a file's configurations, checked, with the sample's
// plain consensus.
#include <cmath>
#include <new>

#include "engine/engine.h"
#include "engine/load_notes.h"
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
std::string configuration_problem(const std::string& what, const std::string& path,
                                  const DataFile& f) {
  const std::string file = "The " + what + " file " + path;
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

// The configurations of a file's bytes, or Error with what the user reads. Notes: the reader's
// warnings, and lines with numbers left after the end line.
DataFile configurations(const std::string& what, const std::string& path, const std::string& text,
                        Notes& notes) {
  DataFile f;
  try {
    f = read_data_text(path, text);
  } catch (const Error& e) {
    throw Error(e.what() + std::string(kNothingLoaded));
  } catch (const std::bad_alloc&) {
    throw Error(too_large_for_memory(path).what() + std::string(kNothingLoaded));
  }
  if (const std::string problem = configuration_problem(what, path, f); !problem.empty())
    throw Error(problem + kNothingLoaded);
  notes = f.warnings;
  if (auto note = unread_lines_note(path, f)) notes.push_back(std::move(*note));
  return f;
}

Consensus plain_consensus_of(Session& session, const Matrix& x, const std::string& path) {
  try {
    return session.routines.plain(x);
  } catch (const Error& e) {
    throw Error("file " + path + ": " + e.what() + kNothingLoaded);
  } catch (const std::bad_alloc&) {
    throw Error(too_large_for_memory(path).what() + std::string(kNothingLoaded));
  }
}

// A protocol is matched to the data by point numbers: over data of another point count its
// kinds and curves would pick the wrong points, so it is forgotten and the console says so.
void forget_protocol_of_other_point_count(Session& session, Index points) {
  Protocol& p = session.state.protocol;
  if (!p.loaded() || p.points == points) return;
  console_write("the protocol " + p.file + " was for " + std::to_string(p.points) +
                " points and is forgotten: the new data have " + std::to_string(points) + "\n");
  p = Protocol{};
}

// Each specimen's centroid size as read. Another program's file carries it as the trailing
// value, which a Morphologika file written by the program holds from the sample first loaded
// (its coordinates are superimposed, of unit size); the trailing value of numeric rows may be
// an ID, so their sizes come from the coordinates.
Row sizes_as_read(const DataFile& f) {
  if (f.kind == FileKind::Rows || f.x.cols() == 0) return foreign::centroid_sizes(f.x);
  return f.x.col(f.x.cols() - 1).transpose();
}

}  // namespace

Notes load_sample_text(Session& session, const std::string& name, const std::string& text) {
  const std::string path = shown_name(name);
  Notes notes;
  Sample sample;
  Matrix processed;
  Consensus plain;
  Row plain_row;
  try {
    DataFile f = configurations("data", path, text, notes);
    plain = plain_consensus_of(session, f.x, path);
    plain_row = plain.y;
    processed = f.x;
    sample.file = file_name(name);
    sample.format = format_read(f);
    sample.ids = std::move(f.specimen_ids);
    sample.tps_layout = std::move(f.tps_layout);
    sample.centroid_sizes = sizes_as_read(f);
    sample.trailing_text = std::move(f.trailing);
    sample.unread_lines = f.unread_lines;
    sample.rows = std::move(f.x);  // the file's matrix is not needed again: no third copy
  } catch (const std::bad_alloc&) {
    throw Error(too_large_for_memory(path).what() + std::string(kNothingLoaded));
  }
  // Everything is in memory: the session takes it without allocating.
  EngineState& s = session.state;
  s.loaded = std::move(sample);
  s.sample = std::move(processed);
  s.plain_consensus = std::move(plain_row);
  s.loaded_plain = std::move(plain);
  s.user_reference = false;
  s.reference = Matrix(0, 0);
  s.last_run = RunReport{};
  forget_protocol_of_other_point_count(session, s.loaded.points());
  progress_tick();  // a large sample took a while to store; the drawing takes as long again
  return notes;
}

Notes load_sample(Session& session, const std::string& path) {
  return load_sample_text(session, path, bytes_of("data", path));
}

Notes load_reference(Session& session, const std::string& path) {
  return load_reference_text(session, path, bytes_of("reference", path));
}

Notes load_reference_text(Session& session, const std::string& name, const std::string& text) {
  Notes notes;
  const std::string shown = shown_name(name);
  DataFile f = configurations("reference", shown, text, notes);
  EngineState& s = session.state;
  if (s.loaded.empty())
    throw Error(
        "Load the data before a user reference: the reference is compared with the sample's "
        "plain consensus; nothing was loaded");
  if (f.x.rows() > 1)
    throw Error("The reference file " + shown + " holds " + std::to_string(f.x.rows()) +
                " configurations; a user reference is one configuration on one line. Keep the "
                "one to slide onto; nothing was loaded");
  const Row plain = plain_consensus_of(session, s.loaded.rows, "(the loaded data)").y;
  s.reference = std::move(f.x);
  s.reference_trailing_text = f.trailing.empty() ? std::string() : f.trailing.front();
  s.reference_format = format_read(f);
  s.plain_consensus = plain;
  s.user_reference = true;
  if (s.sample.cols() != s.reference.cols())
    notes.push_back(
        "The number of landmarks in the User Reference loaded does not match the number of LM in "
        "the data");
  return notes;
}

}  // namespace tav
