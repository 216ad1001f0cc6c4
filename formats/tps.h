#pragma once
// TPS landmark files as digitising software writes them. A specimen is "LM=N" and N lines of
// x y; optionally "CURVES=C" and C blocks of "POINTS=P" and P lines of x y; then any of
// "IMAGE=", "ID=", "SCALE=", "COMMENT=", "VARIABLES=" (keys in any case, values optional).
// Blank lines are skipped; numbers are separated by blanks or tabs; lines end in LF, CR LF or CR.
#include <string>
#include <vector>

#include "platform/matrix.h"

namespace tav {

// The point layout every specimen of a TPS sample shares.
struct TpsLayout {
  Index landmarks = 0;
  std::vector<Index> curve_points;  // points of each CURVES block, in file order
  Index points() const;             // landmarks and curve points
};

struct TpsSample {
  // One configuration row per specimen, in file order: the landmarks, the curve points in file
  // order, then the specimen's centroid size in the file's units (after scaling).
  Matrix x{0, 0};
  TpsLayout layout;
  std::vector<std::string> ids;       // "ID=" of every specimen, "" where it has none
  std::vector<std::string> warnings;  // what the user should hear (scale not applied, ...)
};

// Whether the file's first non-blank line begins with "LM=" or "LM3=" (any case). False for a
// file that cannot be opened.
bool is_tps(const std::string& fname);

// Reads a TPS file. When every specimen has a SCALE= value its coordinates are multiplied by
// it; when only some have one, none is applied and a warning names those without. Raises Error
// naming the file, the line and the specimen for a break of the grammar, three-dimensional data
// ("LM3="), or specimens whose landmark or curve point counts differ from the first's.
TpsSample read_tps(const std::string& fname);
// The same, for the text of `fname` already read (named in messages).
TpsSample read_tps_text(const std::string& fname, const std::string& text);

// A sample as TPS text: per configuration row "LM=k", k lines "x y" written with `digits`
// significant digits, and "ID=" with ids[i], or the specimen number where the id is empty or
// ids does not cover the row. The trailing value of the rows is not written.
std::string tps_text(const Matrix& x, const std::vector<std::string>& ids, int digits);

// A curve protocol to start from, for a TPS layout: curve 0 lists the landmarks (type 0), and
// every CURVES block becomes an open curve (codes 1, 2, ...) of semi-landmarks (type 1) in its
// point order. Rows: curve code, 0, point number, type.
Matrix suggest_protocol(const TpsLayout& layout);

}  // namespace tav
