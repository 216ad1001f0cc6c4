#pragma once
// Reading the numeric text files: one configuration (or protocol row) per line.
#include <string>

#include "platform/matrix.h"

namespace tav {

struct DloadResult {
  bool opened = false;  // false: the file could not be opened (nothing read)
  Matrix x{0, 0};       // one row per line read, in file order
  long unread_lines = 0;  // lines after the end line that the end rule left unread
};

// Reads fname as bytes. The file ends at its physical end or at the first line after the
// first whose length, line end included, is exactly one character; the first line is always
// read. Every line must hold the same count of finite numbers (blanks, tabs or commas between
// them): otherwise Error naming the file and the line.
DloadResult dload(const std::string& fname);

struct MfloadResult {
  bool cancelled = true;
  DloadResult file;
  std::string fn;    // chosen file name without folder
  std::string path;  // folder and name
};

// File-open dialog ("*.*", "Enter file to Load?"), then dload of the chosen file; the chosen
// folder becomes the current folder so that the next dialog opens there.
MfloadResult mfload();

// Writes `text` to `path` whole or not at all: a temporary file in the same folder, renamed
// over the target once every byte is written. Raises Error naming the file on failure.
void write_file_atomically(const std::string& path, const std::string& text);

}  // namespace tav
