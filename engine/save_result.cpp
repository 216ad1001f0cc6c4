// Saving results: the processed sample or the consensus, as configuration rows or in another
// program's format, and the protocol as a sliders table.
#include <optional>

#include "engine/engine.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/formats.h"
#include "formats/input.h"
#include "formats/sliders.h"
#include "platform/format.h"
#include "platform/parse.h"

namespace tav {
namespace {

// Which points a save writes.
enum class Points { all, landmarks_semilandmarks, landmarks };

bool selected(Points which, PointKind kind) {
  if (which == Points::landmarks) return kind == PointKind::landmark;
  if (which == Points::landmarks_semilandmarks) return kind != PointKind::helper;
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
std::string selected_points(Points which, const Row& values, Index points, const Protocol& p,
                            int digits) {
  std::string line;
  for (Index j = 0; j < points; ++j)
    if (selected(which, p.kind_of(j + 1)))
      line += " " + g_text(values(2 * j), digits) + "  " + g_text(values(2 * j + 1), digits) + " ";
  return line;
}

// Refuses a selection that needs more point kinds than the last protocol gave.
void refuse_uncovered(const Protocol& p, Points which, Index points, const std::string& path) {
  if (which == Points::all) return;
  const Index have = static_cast<Index>(p.kinds.size());
  if (have >= points) return;
  throw Error("Nothing was saved to " + shown_name(path) +
              ": the protocol does not match the data (it gives the types of " +
              std::to_string(have) + " points, the data have " + std::to_string(points) +
              "); load the protocol for these data first");
}

// The selected points of every specimen row, and its trailing value, as configuration rows.
Matrix selected_rows(Points which, const Matrix& data, Index points, const Protocol& p) {
  std::vector<Index> cols;
  for (Index j = 0; j < points; ++j)
    if (selected(which, p.kind_of(j + 1))) cols.push_back(2 * j), cols.push_back(2 * j + 1);
  cols.push_back(data.cols() - 1);
  Matrix out(data.rows(), static_cast<Index>(cols.size()));
  for (size_t c = 0; c < cols.size(); ++c) out.col(static_cast<Index>(c)) = data.col(cols[c]);
  return out;
}

constexpr int kOtherFormatDigits = 10;

// The sample's rows, written a few at a time: the text of a large sample is larger than its
// numbers.
void save_rows(const Session& session, Points which, const std::string& path) {
  const EngineState& s = session.state;
  const Index n = s.sample.rows(), m = s.sample.cols(), points = points_of(s.sample);
  const std::vector<std::string>& texts = s.loaded.trailing_text;
  write_file_atomically(path, [&](const TextSink& put) {
    constexpr size_t kPiece = 1 << 16;
    std::string text;
    Row r;
    for (Index i = 0; i < n; ++i) {
      r = s.sample.row(i);
      if (which == Points::all) {
        for (Index c = 0; c + 1 < m; ++c) text += g_text(r(c), session.digits) + " ";
        text += trailing(r(m - 1), row_text(texts, i), session.digits) + "  \n";
      } else {
        text += selected_points(which, r, points, s.protocol, session.digits);
        text += (which == Points::landmarks ? " " : "") +
                trailing(r(m - 1), row_text(texts, i), session.digits) + " \n";
      }
      if (text.size() >= kPiece || i + 1 == n) put(text), text.clear();
    }
  });
}

void save_sample(const Session& session, Points which, const std::string& path) {
  const EngineState& s = session.state;
  const Index m = s.sample.cols(), points = points_of(s.sample);
  refuse_uncovered(s.protocol, which, points, path);
  // A name ending as another program's file gets that program's format.
  if (const FileKind format = format_by_ending(path); format != FileKind::Rows && m > 0)
    return write_file_atomically(
        path, sample_text(format, selected_rows(which, s.sample, points, s.protocol),
                          s.loaded.labels(), s.loaded.centroid_sizes, kOtherFormatDigits));
  save_rows(session, which, path);
}

void save_reference(const Session& session, Points which, const std::string& path) {
  const EngineState& s = session.state;
  const Row ref = Eigen::Map<const Row>(s.reference.data(), s.reference.size());
  std::string text;
  if (which == Points::all) {
    for (Index c = 0; c + 1 < ref.size(); ++c) text += g_text(ref(c), session.digits) + " ";
    if (ref.size() > 0)
      text += trailing(ref(ref.size() - 1), &s.reference_trailing_text, session.digits) + " ";
    text += " \n";
  } else {
    // The reference's length is its larger dimension; its values are read in column order.
    const Index length = std::max(s.reference.rows(), s.reference.cols());
    const Index points = length > 0 ? (length - 1) / 2 : 0;
    refuse_uncovered(s.protocol, which, points, path);
    text = selected_points(which, ref, points, s.protocol, session.digits) + " 1 \n";
  }
  write_file_atomically(path, text);
}

void save_in_format(const Session& session, FileKind format, const std::string& path, int digits) {
  const EngineState& s = session.state;
  write_file_atomically(path,
                        sample_text(format, s.sample, s.loaded.labels(), s.loaded.centroid_sizes,
                                    digits ? digits : kOtherFormatDigits));
}

bool of_reference(Result result) {
  return result == Result::reference || result == Result::reference_landmarks_semilandmarks ||
         result == Result::reference_landmarks;
}

}  // namespace

std::optional<std::string> missing_result(const Session& session, Result result) {
  const EngineState& s = session.state;
  const char* missing = nullptr;
  if (of_reference(result) && s.reference.size() == 0)
    missing = "there is no consensus or reference yet; load a sample and its protocol first";
  else if (result == Result::protocol_sliders && !s.protocol.has_curves)
    missing = "no protocol is loaded; load one first";
  else if (!of_reference(result) && result != Result::protocol_sliders && s.sample.size() == 0)
    missing = "no sample is loaded; load one (and run its protocol) first";
  if (!missing) return std::nullopt;
  return std::string("There is nothing to save: ") + missing + "; nothing was written";
}

Notes save_result(Session& session, Result result, const std::string& path, int digits) {
  if (const auto missing = missing_result(session, result)) throw Error(*missing);
  switch (result) {
    case Result::sample: save_sample(session, Points::all, path); break;
    case Result::sample_landmarks_semilandmarks:
      save_sample(session, Points::landmarks_semilandmarks, path);
      break;
    case Result::sample_landmarks: save_sample(session, Points::landmarks, path); break;
    case Result::reference: save_reference(session, Points::all, path); break;
    case Result::reference_landmarks_semilandmarks:
      save_reference(session, Points::landmarks_semilandmarks, path);
      break;
    case Result::reference_landmarks: save_reference(session, Points::landmarks, path); break;
    case Result::sample_tps: save_in_format(session, FileKind::Tps, path, digits); break;
    case Result::sample_nts: save_in_format(session, FileKind::Nts, path, digits); break;
    case Result::sample_morphologika:
      save_in_format(session, FileKind::Morphologika, path, digits);
      break;
    case Result::sample_morphoj: save_in_format(session, FileKind::MorphoJ, path, digits); break;
    case Result::protocol_sliders:
      write_file_atomically(path, sliders_text(session.state.protocol.curves));
      return sliders_table_losses(session.state.protocol.curves);
  }
  return {};
}

}  // namespace tav
