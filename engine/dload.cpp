#include <cstdio>
#include <memory>

#include "engine/files.h"
#include "platform/parse.h"

namespace tav {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// One line with its line end, or nullopt at the end of the file.
bool read_line(std::FILE* f, std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(f)) != EOF) {
    line += static_cast<char>(c);
    if (c == '\n') return true;
  }
  return !line.empty();
}

Row parse_line(const std::string& fname, long number, const std::string& line) {
  try {
    return parse_numbers(line);
  } catch (const Error& e) {
    throw Error("file " + fname + ", line " + std::to_string(number) + ": " + e.what());
  }
}

}  // namespace

DloadResult dload(const std::string& fname) {
  if (std::optional<DloadResult> other = read_landmark_format(fname)) return std::move(*other);
  DloadResult result;
  File f(std::fopen(fname.c_str(), "rb"), &std::fclose);
  if (!f) return result;
  result.opened = true;
  std::vector<Row> rows;
  std::string line;
  long number = 1;
  bool more = read_line(f.get(), line);
  while (more) {
    Row r = parse_line(fname, number, line);
    if (r.size() == 0)
      throw Error("file " + fname + ", line " + std::to_string(number) + ": the line holds no numbers");
    if (!rows.empty() && r.size() != rows.front().size())
      throw Error("file " + fname + ", line " + std::to_string(number) + ": " +
                  std::to_string(r.size()) + " numbers where line 1 has " +
                  std::to_string(rows.front().size()) + "; every line must hold the same count");
    rows.push_back(std::move(r));
    ++number;
    more = read_line(f.get(), line);
    if (more && line.size() == 1) {
      // The end line: what follows is not read, but counted so the user hears of it.
      while (read_line(f.get(), line)) ++result.unread_lines;
      more = false;
    }
  }
  if (!rows.empty()) {
    result.x.resize(static_cast<Index>(rows.size()), rows.front().size());
    for (size_t i = 0; i < rows.size(); ++i) result.x.row(static_cast<Index>(i)) = rows[i];
  }
  return result;
}

}  // namespace tav
