#include "engine/files.h"
#include "engine/tps.h"

namespace tav {
namespace {

DloadResult loaded(FileKind kind, Matrix x, std::vector<std::string> ids, std::vector<std::string> warnings) {
  DloadResult r;
  r.opened = true;
  r.tps = kind == FileKind::Tps;
  r.kind = kind;
  r.x = std::move(x);
  r.specimen_ids = std::move(ids);
  r.warnings = std::move(warnings);
  return r;
}

DloadResult loaded(FileKind kind, ForeignSample s) {
  return loaded(kind, std::move(s.x), std::move(s.ids), std::move(s.warnings));
}

}  // namespace

std::optional<DloadResult> read_landmark_format(const std::string& fname) {
  switch (const FileKind kind = recognise_file(fname)) {
    case FileKind::Rows: return std::nullopt;
    case FileKind::Tps: {
      TpsSample t = read_tps(fname);
      return loaded(kind, std::move(t.x), std::move(t.ids), std::move(t.warnings));
    }
    case FileKind::Nts: return loaded(kind, read_nts(fname));
    case FileKind::Morphologika: return loaded(kind, read_morphologika(fname));
    case FileKind::MorphoJ: return loaded(kind, read_morphoj(fname));
  }
  return std::nullopt;
}

}  // namespace tav
