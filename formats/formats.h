#pragma once
// Landmark files of other morphometrics programs, read and written: NTS matrices, Morphologika
// files and MorphoJ row/column text. Each becomes the configuration rows the program works on
// (x1 y1 ... xk yk and the specimen's centroid size as the trailing value) with the specimen
// labels kept as IDs.
#include <string>
#include <string_view>
#include <vector>

#include "platform/matrix.h"

namespace tav {

enum class FileKind { Rows, Tps, Nts, Morphologika, MorphoJ };

// The kind of landmark file fname holds, told by its first lines: "LM=" begins TPS, a quoted
// comment or an NTS header ("1 n p 0" with DIM= or an L-marked count) begins NTS, a
// [section] (after ' comments) begins Morphologika. A first line whose fields are split by
// tabs, semicolons or commas is told by column_header (engine/column_header.h) when it is a
// header of names (a line of quoted names is one, not an NTS comment): coordinates and then a
// trailing column are Rows under a header, anything else MorphoJ text (whose reader refuses
// names that do not settle the reading); a data line begins MorphoJ text when its first field
// is a text label. Everything else is Rows. recognise_text tells it from the file's bytes
// (a UTF-8 byte order mark skipped; LF, CR LF or CR line ends); recognise_file reads fname once
// for it, and a file that cannot be opened or read is Rows.
FileKind recognise_text(std::string_view text);
FileKind recognise_file(const std::string& fname);
const char* file_kind_name(FileKind kind);

struct ForeignSample {
  Matrix x{0, 0};                     // n×(2k+1): the points, then the centroid size
  std::vector<std::string> ids;       // every specimen's label ("" where the file has none)
  std::vector<std::string> warnings;  // what was read but not used, for the user to hear
};

// Each reader raises Error naming the file, the line and what was expected there for a file
// it cannot read whole; nothing is returned then.
// The two-argument forms read `text`, the bytes of fname already read; fname names it in messages.
ForeignSample read_nts(const std::string& fname);
ForeignSample read_morphologika(const std::string& fname);
ForeignSample read_morphoj(const std::string& fname);
ForeignSample read_nts(const std::string& fname, const std::string& text);
ForeignSample read_morphologika(const std::string& fname, const std::string& text);
ForeignSample read_morphoj(const std::string& fname, const std::string& text);

// Configuration rows as a file of each kind, numbers with `digits` significant digits. The
// trailing value is not written as a coordinate; labels are ids[i], or the specimen's number
// where the id is empty, each written so that the format's reader gives it back, a character
// the format cannot hold where it stands written as '_' (foreign::written_label).
// cs: every row's centroid size, written as the variable "CentroidSize" where the format has
// variables (Morphologika's [labels]); empty: none written.
std::string nts_text(const Matrix& x, const std::vector<std::string>& ids, int digits);
std::string morphologika_text(const Matrix& x, const std::vector<std::string>& ids, const Row& cs,
                              int digits);
std::string morphoj_text(const Matrix& x, const std::vector<std::string>& ids, int digits);

// The format a saved sample takes from its file name's ending (any case): ".nts" NTS, ".tps"
// TPS, ".morphologika.txt" Morphologika, ".morphoj.txt" or ".tsv" MorphoJ text; any other
// ending keeps the program's own rows.
FileKind format_by_ending(const std::string& path);

// x as a file of `kind` (not Rows), written by the writer of that format.
std::string sample_text(FileKind kind, const Matrix& x, const std::vector<std::string>& ids,
                        const Row& cs, int digits);

}  // namespace tav
