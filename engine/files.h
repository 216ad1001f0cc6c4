#pragma once
// Reading the landmark files: numeric text, one configuration (or protocol row) per line, or
// TPS files as digitising software writes them (engine/tps.h).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/formats.h"
#include "platform/matrix.h"

namespace tav {

struct DloadResult {
  bool opened = false;  // false: the file could not be opened (nothing read)
  bool tps = false;     // read as a TPS file
  FileKind kind = FileKind::Rows;  // the format the file was read in
  Matrix x{0, 0};       // one row per line read, in file order
  long unread_lines = 0;  // lines after the end line that the end rule left unread
  std::vector<std::string> warnings;      // to show the user (TPS: scale not applied, ...)
  std::vector<std::string> specimen_ids;  // TPS: the ID= of every row, "" where none; else empty
};

// A file of another program (recognise_file: TPS, NTS, Morphologika, MorphoJ text) read with
// its reader; nullopt for a file of numeric rows. Errors of the reader pass through.
std::optional<DloadResult> read_landmark_format(const std::string& fname);

// Reads fname. A file of another program is read by its reader (read_landmark_format: TPS,
// NTS, Morphologika, MorphoJ text, with their errors, warnings and specimen labels). Any other
// is numeric text, read as bytes:
// the file ends at its physical end or at the first line after the first whose length, line
// end included, is exactly one character; the first line is always read. Every line must hold
// the same count of finite numbers (blanks, tabs or commas between them): otherwise Error
// naming the file and the line.
DloadResult dload(const std::string& fname);

struct MfloadResult {
  bool cancelled = true;
  DloadResult file;
  std::string fn;    // chosen file name without folder
  std::string path;  // folder and name
};

// File-open dialog ("*.*", "Enter file to Load?"), then `read` (dload unless given) of the
// chosen file; the chosen folder becomes the current folder so that the next dialog opens there.
MfloadResult mfload(const std::function<DloadResult(const std::string&)>& read = dload);

// Writes `text` to `path` whole or not at all: a temporary file in the same folder, renamed
// over the target once every byte is written. Raises Error naming the file on failure.
void write_file_atomically(const std::string& path, const std::string& text);

}  // namespace tav
