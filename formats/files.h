#pragma once
// Reading the landmark files: numeric text, one configuration (or protocol row) per line, or
// TPS files as digitising software writes them (engine/tps.h).
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/formats.h"
#include "formats/tps.h"
#include "platform/matrix.h"

namespace tav {

struct DataFile {
  bool tps = false;                   // read as a TPS file
  FileKind kind = FileKind::Rows;     // the format the file was read in
  Matrix x{0, 0};                     // one row per line read, in file order
  long unread_lines = 0;              // lines after the end line that the end rule left unread
  long unread_number_lines = 0;       // of those, the lines holding numbers
  long end_line = 0;                  // line number of the end line; 0 when the file has none
  bool decimal_comma = false;         // commas sit between digits only and blanks separate values
  bool commas = false;                // some value is followed by a comma
  long header_line = 0;               // numeric rows: the line of column names above them; 0: none
  std::vector<std::string> trailing;  // numeric rows: each row's last value as written in the file
  std::vector<std::string> warnings;  // to show the user (TPS: scale not applied, ...)
  std::vector<std::string> specimen_ids;  // TPS: the ID= of every row, "" where none; else empty
  TpsLayout tps_layout;                   // TPS: the landmarks and curve blocks; else none
};

// Reads fname once (read_input: pipes and devices too) and by the layout recognised from its
// bytes (recognise_text): TPS, NTS, Morphologika or MorphoJ text by their readers (with their
// errors, warnings and specimen labels), or numeric rows, under a header of column names or
// not (read_sample_rows: LF, CR LF or CR line ends; the rows end at the physical end or at the
// first empty line after the first; every line the same count of finite numbers). Errors name
// the file and the line.
DataFile read_data_file(const std::string& fname);
// The same for `text`, the bytes of the file named `fname` in messages (already shown_name'd).
DataFile read_data_text(const std::string& fname, const std::string& text);

// The format `file` was read in, as the window's status and the batch tool's summary name it:
// "numeric rows", "numeric rows (header line 1 skipped)", "TPS", "NTS", "Morphologika" or
// "MorphoJ text".
std::string format_read(const DataFile& file);

// Writes `text` to `path` whole or not at all: a temporary file in the same folder, renamed
// over the target once every byte is written. A symbolic link is written through to its
// target; a replaced file keeps its mode; a file the user may not write is refused. A device
// or a pipe (/dev/null, a FIFO, or a link to one) is written in place, never renamed over; a
// folder or another kind of file is refused (platform/save_target.h). Temporary files left by
// a killed save into the same folder are removed. Raises Error naming the file.
void write_file_atomically(const std::string& path, const std::string& text);
// The same with the text made piece by piece: write(put) hands every piece to put in order, so
// a large file is never held whole in memory. When write raises, nothing is written and the
// error goes on to the caller.
using TextSink = std::function<void(std::string_view)>;
void write_file_atomically(const std::string& path,
                           const std::function<void(const TextSink&)>& write);

}  // namespace tav
