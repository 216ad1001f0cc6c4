#include "formats/formats.h"
#include "formats/tps.h"
#include "platform/error.h"

namespace tav {

std::string sample_text(FileKind kind, const Matrix& x, const std::vector<std::string>& ids,
                        const Row& cs, int digits) {
  switch (kind) {
    case FileKind::Nts: return nts_text(x, ids, digits);
    case FileKind::Tps: return tps_text(x, ids, digits);
    case FileKind::Morphologika: return morphologika_text(x, ids, cs, digits);
    case FileKind::MorphoJ: return morphoj_text(x, ids, digits);
    case FileKind::Rows: break;
  }
  throw Error(
      "the program's own rows are written by the save actions, not as another program's format");
}

}  // namespace tav
