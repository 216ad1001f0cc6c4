#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "formats/column_header.h"
#include "formats/foreign_text.h"
#include "formats/formats.h"
#include "formats/input.h"
#include "formats/line_fields.h"
#include "formats/tps_lines.h"
#include "platform/error.h"

namespace tav {
namespace {

bool upper_starts(const std::string& token, const char* prefix) {
  const std::string p(prefix);
  if (token.size() < p.size()) return false;
  for (size_t i = 0; i < p.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(token[i])) != p[i]) return false;
  return true;
}

// "1 n p 0 ..." with a DIM= or a count marked L (labels follow): the NTS parameter line.
bool nts_header(const std::string& line) {
  const std::vector<std::string> t = words(line);
  if (t.size() < 4 || t[0] != "1") return false;
  auto labelled = [](const std::string& s) {
    return s.size() > 1 && (s.back() == 'L' || s.back() == 'l') &&
           foreign::number(s.substr(0, s.size() - 1));
  };
  return labelled(t[1]) || labelled(t[2]) ||
         std::any_of(t.begin(), t.end(),
                     [](const std::string& s) { return upper_starts(s, "DIM="); });
}

// A line of names each in double quotes, split by tabs, semicolons or commas, as spreadsheets
// and R export a header: not an NTS comment, although it begins with a quote.
bool quoted_names(const std::string& line) {
  const char sep = field_separator(line);
  return sep && every_field(line, sep, [](const std::string& s) {
           return s.empty() || (s.size() >= 2 && s.front() == '"' && s.back() == '"');
         });
}

bool text_label(const std::string& field) {
  return !foreign::number(field) &&
         std::any_of(field.begin(), field.end(), [](unsigned char c) { return std::isalpha(c); });
}

// A line with fields split by tabs, semicolons or commas: a header decides by its names (rows
// when they are the coordinates and then a trailing column; MorphoJ text otherwise, whose reader
// refuses names that settle nothing); a data line is MorphoJ text when its first field is a text
// label. A word elsewhere among numbers is a value that is not a number: the rows reader refuses
// it with its line, rather than the line being taken for a header.
FileKind delimited_kind(const std::string& line) {
  const char sep = field_separator(line);
  if (!sep) return FileKind::Rows;
  if (is_column_header(line, sep)) {
    const ColumnHeader h = column_header(split_fields(line, sep));
    return h.problem.empty() ? h.layout : FileKind::MorphoJ;
  }
  return text_label(trimmed(line.substr(0, line.find(sep)))) ? FileKind::MorphoJ : FileKind::Rows;
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
    if ((t[0] == '"' && !quoted_names(t)) || nts_header(t)) return FileKind::Nts;
    if (t[0] == '[') return FileKind::Morphologika;
    return delimited_kind(t);
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
