#include <cstdio>
#include <memory>

#include "engine/tps.h"
#include "engine/tps_lines.h"

namespace tav {

bool is_tps(const std::string& fname) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(fname.c_str(), "rb"), &std::fclose);
  if (!f) return false;
  // Only the lines up to the first non-blank one are read: a numeric file costs one line.
  std::string head;
  int c;
  while ((c = std::fgetc(f.get())) != EOF) {
    head += static_cast<char>(c);
    if (c != '\n') continue;
    if (!tps::nonblank_lines(head).empty()) break;
  }
  const std::vector<tps::Line> lines = tps::nonblank_lines(head);
  if (lines.empty()) return false;
  const auto k = tps::key_line(lines.front().text);
  return k && (k->key == "LM" || k->key == "LM3");
}

}  // namespace tav
