#include "engine/files.h"
#include "engine/input.h"
#include "engine/tps.h"

namespace tav {
namespace {

DloadResult from_tps(TpsSample t) {
  DloadResult r;
  r.opened = r.tps = true;
  r.x = std::move(t.x);
  r.warnings = std::move(t.warnings);
  r.specimen_ids = std::move(t.ids);
  return r;
}

DloadResult from_rows(RowsRead rows) {
  DloadResult r;
  r.opened = true;
  const Index n = static_cast<Index>(rows.trailing.size());
  r.x = Eigen::Map<const Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>>(
      rows.values.data(), n, n ? rows.cols : 0);
  r.trailing = std::move(rows.trailing);
  r.end_line = rows.end_line;
  r.unread_lines = rows.unread_lines;
  r.unread_number_lines = rows.unread_number_lines;
  r.decimal_comma = rows.decimal_comma;
  r.commas = rows.commas;
  return r;
}

}  // namespace

DloadResult dload(const std::string& fname) {
  const std::optional<std::string> text = read_input(fname);
  if (!text) return {};
  switch (recognise_format(*text)) {
    case FileFormat::Tps: return from_tps(read_tps_text(fname, *text));
    case FileFormat::Rows: break;
  }
  return from_rows(read_rows(fname, *text));
}

}  // namespace tav
