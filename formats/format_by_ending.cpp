#include "formats/formats.h"
#include "platform/format.h"

namespace tav {

FileKind format_by_ending(const std::string& path) {
  const std::string name = lower_case(path.substr(path.find_last_of('/') + 1));
  auto ends = [&](const std::string& e) {
    return name.size() > e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
  };
  if (ends(".nts")) return FileKind::Nts;
  if (ends(".tps")) return FileKind::Tps;
  if (ends(".morphologika.txt")) return FileKind::Morphologika;
  if (ends(".morphoj.txt") || ends(".tsv")) return FileKind::MorphoJ;
  return FileKind::Rows;
}

}  // namespace tav
