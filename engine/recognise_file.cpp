#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "engine/foreign_text.h"
#include "engine/formats.h"
#include "engine/input.h"
#include "engine/tps_lines.h"
#include "platform/error.h"

namespace tav {
namespace {

using foreign::blank_tokens;
using foreign::trimmed;

bool upper_starts(const std::string& token, const char* prefix) {
  const std::string p(prefix);
  if (token.size() < p.size()) return false;
  for (size_t i = 0; i < p.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(token[i])) != p[i]) return false;
  return true;
}

// "1 n p 0 ..." with a DIM= or a count marked L (labels follow): the NTS parameter line.
bool nts_header(const std::string& line) {
  const std::vector<std::string> t = blank_tokens(line);
  if (t.size() < 4 || t[0] != "1") return false;
  auto labelled = [](const std::string& s) {
    return s.size() > 1 && (s.back() == 'L' || s.back() == 'l') &&
           foreign::number(s.substr(0, s.size() - 1));
  };
  return labelled(t[1]) || labelled(t[2]) ||
         std::any_of(t.begin(), t.end(),
                     [](const std::string& s) { return upper_starts(s, "DIM="); });
}

// Fields split by tabs, semicolons or commas (the first of these the line holds), one of them
// text with a letter: a MorphoJ header or label.
bool delimited_with_text(const std::string& line) {
  char sep = 0;
  for (char c : {'\t', ';', ','})
    if (line.find(c) != std::string::npos) {
      sep = c;
      break;
    }
  if (!sep) return false;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find(sep, start);
    if (end == std::string::npos) end = line.size();
    const std::string f = trimmed(line.substr(start, end - start));
    // A header or a label holds a letter; "1,5 2,3" (decimal commas) holds none.
    const bool has_letter =
        std::any_of(f.begin(), f.end(), [](unsigned char ch) { return std::isalpha(ch); });
    if (!f.empty() && !foreign::number(f) && has_letter) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

FileKind recognise_text(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t start = 0;
  while (start < text.size()) {
    // LF, CR LF and a lone CR all end a line, so old-Mac files are told apart by their first line.
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string t = trimmed(std::string(text.substr(start, end - start)));
    start = end + 1;
    if (t.empty() || t[0] == '\'') continue;  // Morphologika comments come before its sections
    if (const auto k = tps::key_line(t); k && (k->key == "LM" || k->key == "LM3"))
      return FileKind::Tps;
    if (t[0] == '"' || nts_header(t)) return FileKind::Nts;
    if (t[0] == '[') return FileKind::Morphologika;
    if (delimited_with_text(t)) return FileKind::MorphoJ;
    return FileKind::Rows;
  }
  return FileKind::Rows;
}

FileKind recognise_file(const std::string& fname) {
  try {
    const std::optional<std::string> text = read_input(fname);
    return text ? recognise_text(*text) : FileKind::Rows;
  } catch (const Error&) {
    return FileKind::Rows;  // not text: the rows reader gives the message
  }
}

const char* file_kind_name(FileKind kind) {
  switch (kind) {
    case FileKind::Rows: return "numeric rows";
    case FileKind::Tps: return "TPS";
    case FileKind::Nts: return "NTS";
    case FileKind::Morphologika: return "Morphologika";
    case FileKind::MorphoJ: return "MorphoJ text";
  }
  return "";
}

}  // namespace tav
