#include <new>

#include "formats/files.h"
#include "formats/formats.h"
#include "formats/input.h"
#include "formats/tps.h"
#include "platform/error.h"

namespace tav {
namespace {

// A sample read by the reader of its program's format, with its labels and warnings. Its
// coordinates are finite, but a scale factor can make them so large that the centroid size
// read as the trailing value overflows: refused, so nothing infinite reaches a superimposition.
DataFile loaded(const std::string& fname, FileKind kind, Matrix x, std::vector<std::string> ids,
                std::vector<std::string> warnings) {
  for (Index i = 0; i < x.rows(); ++i)
    if (!x.row(i).allFinite())
      throw Error(
          "file " + fname + ", specimen " + std::to_string(i + 1) +
          ": the coordinates are too large to compute with (their centroid size overflows); "
          "rescale the data (for instance to millimetres or metres)");
  DataFile r;
  r.tps = kind == FileKind::Tps;
  r.kind = kind;
  r.x = std::move(x);
  r.specimen_ids = std::move(ids);
  r.warnings = std::move(warnings);
  return r;
}

DataFile loaded(const std::string& fname, FileKind kind, ForeignSample s) {
  return loaded(fname, kind, std::move(s.x), std::move(s.ids), std::move(s.warnings));
}

DataFile from_rows(RowsRead rows) {
  DataFile r;
  const Index n = static_cast<Index>(rows.trailing.size());
  r.x = Eigen::Map<const Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>>(
      rows.values.data(), n, n ? rows.cols : 0);
  r.trailing = std::move(rows.trailing);
  r.end_line = rows.end_line;
  r.unread_lines = rows.unread_lines;
  r.unread_number_lines = rows.unread_number_lines;
  r.decimal_comma = rows.decimal_comma;
  r.commas = rows.commas;
  r.header_line = rows.header_line;
  return r;
}

}  // namespace

DataFile read_data_file(const std::string& fname) {
  try {
    const std::optional<std::string> text = read_input(fname);
    if (!text) throw Error("Cannot open the file " + shown_name(fname));
    return read_data_text(shown_name(fname), *text);
  } catch (const std::bad_alloc&) {
    throw too_large_for_memory(shown_name(fname));
  }
}

DataFile read_data_text(const std::string& fname, const std::string& text) {
  switch (const FileKind kind = recognise_text(text)) {
    case FileKind::Rows: return from_rows(read_sample_rows(fname, text));
    case FileKind::Tps: {
      TpsSample t = read_tps_text(fname, text);
      DataFile r = loaded(fname, kind, std::move(t.x), std::move(t.ids), std::move(t.warnings));
      r.tps_layout = std::move(t.layout);
      return r;
    }
    case FileKind::Nts: return loaded(fname, kind, read_nts(fname, text));
    case FileKind::Morphologika: return loaded(fname, kind, read_morphologika(fname, text));
    case FileKind::MorphoJ: return loaded(fname, kind, read_morphoj(fname, text));
  }
  return {};
}

}  // namespace tav
