#include <cctype>

#include "engine/formats.h"

namespace tav {

FileKind format_by_ending(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto ends = [&](const std::string& e) { return name.size() > e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0; };
  if (ends(".nts")) return FileKind::Nts;
  if (ends(".tps")) return FileKind::Tps;
  if (ends(".morphologika.txt")) return FileKind::Morphologika;
  if (ends(".morphoj.txt") || ends(".tsv")) return FileKind::MorphoJ;
  return FileKind::Rows;
}

}  // namespace tav
