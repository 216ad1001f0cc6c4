#include "formats/files.h"

namespace tav {

std::string format_read(const DataFile& file) {
  if (file.kind == FileKind::Rows && file.header_line > 0)
    return "numeric rows (header line " + std::to_string(file.header_line) + " skipped)";
  return file_kind_name(file.kind);
}

}  // namespace tav
