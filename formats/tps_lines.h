#pragma once
// Lines of a TPS file: the key lines ("KEY=value") and the point lines ("x y") they hold.
#include <optional>
#include <string>
#include <vector>

#include "platform/matrix.h"

namespace tav::tps {

struct Line {
  long number = 0;   // 1-based line number in the file
  std::string text;  // without line end and surrounding blanks; never empty
};

// The non-blank lines of a text, numbered as in the file (LF or CR LF line ends).
std::vector<Line> nonblank_lines(const std::string& text);

struct KeyLine {
  std::string key;    // upper case: "LM", "CURVES", "ID", ...
  std::string value;  // trimmed, possibly empty
};

// "KEY=value" when the text before the first '=' is a word (letters, digits, '_', starting
// with a letter); nullopt for any other line.
std::optional<KeyLine> key_line(const std::string& text);

// The number a whole token spells (strtod syntax, finite). Raises Error naming it as `what`.
double parse_number(const std::string& token, const char* what);

// The x and y of a point line (two numbers separated by blanks or tabs). Raises Error saying
// what is wrong, for the caller to prefix with the file, the line and the specimen.
Eigen::RowVector2d point_line(const std::string& text);

}  // namespace tav::tps

namespace tav::tps {

// The points (0-based, in file order) of one specimen that look like points the digitiser
// left out: digitising software writes such a point as -1 -1 or as other negative values,
// while the points it places, in image coordinates, are never negative. A point is one when it
// is exactly (-1, -1), or when both its coordinates are negative while every other point of
// the specimen has no negative coordinate and such points are fewer than half the specimen's.
// Centred or superimposed data, whose points lie on all sides of the origin, give none.
std::vector<size_t> missing_points(const std::vector<Eigen::RowVector2d>& points);

}  // namespace tav::tps
