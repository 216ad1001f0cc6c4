// The six save actions: the processed sample or the reference, with all points, landmarks and
// semi-landmarks, or landmarks only, one configuration per line.
#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/formats.h"
#include "formats/input.h"
#include "platform/format.h"
#include "platform/parse.h"

namespace tav {
namespace {

const char* sample_title(SaveKind kind) {
  switch (kind) {
    case SaveKind::All: return "File Name for Procrustes Coordinates";
    case SaveKind::LandmarksSemilandmarks: return "File Name for Landmarks+Semilandmarks";
    case SaveKind::Landmarks: return "File Name for Landmarks Only";
  }
  return "";
}

const char* reference_title(SaveKind kind) {
  switch (kind) {
    case SaveKind::All: return "File Name for Reference (All points)";
    case SaveKind::LandmarksSemilandmarks: return "File Name for Reference (LM and Semi-LM) ";
    case SaveKind::Landmarks: return "File Name for Reference (LM only) ";
  }
  return "";
}

bool selected(SaveKind kind, double type) {
  if (kind == SaveKind::Landmarks) return type == 0;
  if (kind == SaveKind::LandmarksSemilandmarks) return type != 2;
  return true;
}

// A trailing value as the user wrote it (a specimen ID keeps every digit), when `text` is what
// was read and still spells `v`; else "%g" of v with `digits` significant digits.
std::string trailing(double v, const std::string* text, int digits) {
  if (text && !text->empty()) {
    const ParsedNumber n = parse_number_token(*text);
    if (n.status == NumberRead::Ok && n.value == v) return *text;
  }
  return g_text(v, digits);
}

const std::string* row_text(const std::vector<std::string>& texts, Index i) {
  return static_cast<size_t>(i) < texts.size() ? &texts[static_cast<size_t>(i)] : nullptr;
}

// The selected points " x  y " of a configuration row (values in column order, "%g" with
// `digits` significant digits).
std::string selected_points(SaveKind kind, const Row& values, Index points, const Row& types,
                            int digits) {
  std::string line;
  for (Index j = 0; j < points; ++j)
    if (selected(kind, types(j)))
      line += " " + g_text(values(2 * j), digits) + "  " + g_text(values(2 * j + 1), digits) + " ";
  return line;
}

// Refuses a selection that needs more point types than the last protocol gave.
bool types_cover(Session& session, SaveKind kind, Index points, const std::string& path) {
  if (kind == SaveKind::All) return true;
  const Index have = session.state.lmtypelist.size();
  if (have >= points) return true;
  tell_user(session, "Nothing was saved to " + shown_name(path) +
                         ": the protocol does not match the data (it gives " + "the types of " +
                         std::to_string(have) + " points, the data have " + std::to_string(points) +
                         "); load the protocol for these data first");
  return false;
}

void write_result(Session& session, const std::string& path,
                  const std::function<void(const TextSink&)>& write) {
  try {
    write_file_atomically(path, write);
    session.action_done = true;
  } catch (const Error& e) {
    tell_user(session, e.what());
  }
}

void write_result(Session& session, const std::string& path, const std::string& text) {
  write_result(session, path, [&](const TextSink& put) { put(text); });
}

// The selected points of every specimen row, and its trailing value, as configuration rows.
Matrix selected_rows(SaveKind kind, const Matrix& data, Index points, const Row& types) {
  std::vector<Index> cols;
  for (Index j = 0; j < points; ++j)
    if (selected(kind, types.size() > j ? types(j) : 0))
      cols.push_back(2 * j), cols.push_back(2 * j + 1);
  cols.push_back(data.cols() - 1);
  Matrix out(data.rows(), static_cast<Index>(cols.size()));
  for (size_t c = 0; c < cols.size(); ++c) out.col(static_cast<Index>(c)) = data.col(cols[c]);
  return out;
}

constexpr int kOtherFormatDigits = 10;  // as the batch tool writes them unless told otherwise

// Refuses, before a file is asked for, to write a result that is not there.
bool something_to_save(Session& session, const Matrix& m, const char* missing) {
  if (m.size() != 0) return true;
  tell_user(session, std::string("There is nothing to save: ") + missing + "; nothing was written");
  return false;
}

}  // namespace

void action_save(Session& session, SaveKind kind) {
  const EngineState& s = session.state;
  if (!something_to_save(session, s.DATA,
                         "no sample is loaded; load one (and run its protocol) first"))
    return;
  const FileChoice choice = session.ui().save_file("*.*", sample_title(kind));
  const Index n = s.DATA.rows(), m = s.DATA.cols();
  if (choice.cancelled) return;
  const Index points = m > 0 ? (m - 1) / 2 : 0;
  if (!types_cover(session, kind, points, choice.path())) return;
  // A name ending as another program's file gets that program's format.
  if (const FileKind format = format_by_ending(choice.path()); format != FileKind::Rows && m > 0) {
    write_result(session, choice.path(),
                 sample_text(format, selected_rows(kind, s.DATA, points, s.lmtypelist),
                             s.specimen_ids.empty() ? s.trailing_text : s.specimen_ids,
                             s.centroid_sizes, kOtherFormatDigits));
    return;
  }
  // Written a few rows at a time: the text of a large sample is larger than its numbers.
  write_result(session, choice.path(), [&](const TextSink& put) {
    constexpr size_t kPiece = 1 << 16;
    std::string text;
    Row r;
    for (Index i = 0; i < n; ++i) {
      r = s.DATA.row(i);
      if (kind == SaveKind::All) {
        for (Index c = 0; c + 1 < m; ++c) text += g_text(r(c), session.digits) + " ";
        text += trailing(r(m - 1), row_text(s.trailing_text, i), session.digits) + "  \n";
      } else {
        text += selected_points(kind, r, points, s.lmtypelist, session.digits);
        text += (kind == SaveKind::Landmarks ? " " : "") +
                trailing(r(m - 1), row_text(s.trailing_text, i), session.digits) + " \n";
      }
      if (text.size() >= kPiece || i + 1 == n) put(text), text.clear();
    }
  });
}

void action_save_reference(Session& session, SaveKind kind) {
  const EngineState& s = session.state;
  if (!something_to_save(
          session, s.REFERENCE,
          "there is no consensus or reference yet; load a sample and its protocol first"))
    return;
  const FileChoice choice = session.ui().save_file("*.*", reference_title(kind));
  if (choice.cancelled) return;
  const Row ref = Eigen::Map<const Row>(s.REFERENCE.data(), s.REFERENCE.size());
  std::string text;
  if (kind == SaveKind::All) {
    for (Index c = 0; c + 1 < ref.size(); ++c) text += g_text(ref(c), session.digits) + " ";
    if (ref.size() > 0)
      text += trailing(ref(ref.size() - 1), &s.reference_trailing_text, session.digits) + " ";
    text += " \n";
  } else {
    // The reference's length is its larger dimension; its values are read in column order.
    const Index length = std::max(s.REFERENCE.rows(), s.REFERENCE.cols());
    const Index points = length > 0 ? (length - 1) / 2 : 0;
    if (!types_cover(session, kind, points, choice.path())) return;
    text = selected_points(kind, ref, points, s.lmtypelist, session.digits) + " 1 \n";
  }
  write_result(session, choice.path(), text);
}

}  // namespace tav
