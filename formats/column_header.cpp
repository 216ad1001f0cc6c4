#include "formats/column_header.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <utility>

#include "formats/foreign_text.h"
#include "platform/parse.h"

namespace tav {
namespace {

// A name as it is compared: quotes around it dropped, lower case, without '_', '.', '-' and
// white space.
std::string squeezed(const std::string& name) {
  std::string_view s = name;
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  std::string out;
  for (unsigned char c : s)
    if (c != '_' && c != '.' && c != '-' && !is_white_space(static_cast<char>(c)))
      out += static_cast<char>(std::tolower(c));
  return out;
}

struct Coordinate {
  Index point = 0;  // from 1
  int axis = 0;     // 0 x, 1 y
};

// "x12" or "12x" (after the prefix): the axis and a point number of at most six digits.
std::optional<Coordinate> axis_and_number(std::string_view s) {
  if (s.size() < 2 || s.size() > 7) return std::nullopt;
  const bool axis_first = s.front() == 'x' || s.front() == 'y';
  const char axis = axis_first ? s.front() : s.back();
  if (axis != 'x' && axis != 'y') return std::nullopt;
  const std::string_view digits = axis_first ? s.substr(1) : s.substr(0, s.size() - 1);
  Index point = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    point = point * 10 + (c - '0');
  }
  if (point < 1) return std::nullopt;
  return Coordinate{point, axis == 'x' ? 0 : 1};
}

std::optional<Coordinate> coordinate_name(const std::string& name) {
  const std::string s = squeezed(name);
  if (const auto c = axis_and_number(s)) return c;
  for (std::string_view prefix : {"landmark", "point", "lm", "pt", "p"})
    if (s.size() > prefix.size() && std::string_view(s).substr(0, prefix.size()) == prefix)
      if (const auto c = axis_and_number(std::string_view(s).substr(prefix.size()))) return c;
  return std::nullopt;
}

bool size_name(const std::string& name) {
  const std::string s = squeezed(name);
  return s == "centroidsize" || s == "cs" || s == "csize";
}

bool log_size_name(const std::string& name) {
  const std::string s = squeezed(name);
  return s == "logcentroidsize" || s == "logcs" || s == "lncentroidsize" || s == "lncs";
}

std::string coordinate_text(Coordinate c) {
  return (c.axis == 0 ? "x" : "y") + std::to_string(c.point);
}

std::string column_text(const std::vector<std::string>& names, size_t c) {
  return "column " + std::to_string(c + 1) + " " + foreign::shown(names[c]);
}

// "column 2 "Sex" is" or "columns 2 "Sex" and 5 "Age" are".
std::string columns_text(const std::vector<std::string>& names, const std::vector<size_t>& cols) {
  std::string s = cols.size() == 1 ? "column " : "columns ";
  for (size_t i = 0; i < cols.size(); ++i) {
    if (i > 0) s += i + 1 == cols.size() ? " and " : ", ";
    s += std::to_string(cols[i] + 1) + " " + foreign::shown(names[cols[i]]);
  }
  return s + (cols.size() == 1 ? " is" : " are");
}

// Names without a coordinate among them leave two readings open with different shapes.
std::string two_readings(const std::vector<std::string>& names) {
  return "the header names no column as a coordinate (x1, y1, x2, y2, ...), so it does not say "
         "how to read the file: as MorphoJ text, " +
         column_text(names, 0) +
         " holds each specimen's label and the others x1 y1 x2 y2 ...; as rows, " +
         column_text(names, names.size() - 1) +
         " holds the trailing value after x1 y1 x2 y2 ... (the two give different shapes). Name "
         "the coordinate columns x1, y1, "
         "..., xk, yk, with the label column first (MorphoJ text) or the trailing column last "
         "(rows), or delete the header line (lines of numbers only are read as rows, lines with "
         "a text label first as MorphoJ text)";
}

// Every point from 1 to k named once as x and once as y; the coordinates' places set.
std::string pair_coordinates(const std::vector<std::string>& names,
                             const std::vector<std::optional<Coordinate>>& coords,
                             ColumnHeader& h) {
  std::map<std::pair<Index, int>, size_t> seen;  // (point, axis) -> column
  for (size_t c = 0; c < coords.size(); ++c) {
    if (!coords[c]) continue;
    const auto [at, fresh] = seen.emplace(std::make_pair(coords[c]->point, coords[c]->axis), c);
    if (!fresh)
      return "columns " + std::to_string(at->second + 1) + " and " + std::to_string(c + 1) +
             " both name " + coordinate_text(*coords[c]) + ": expected each coordinate once";
    h.points = std::max(h.points, coords[c]->point);
  }
  for (Index p = 1; p <= h.points; ++p)
    for (int axis = 0; axis < 2; ++axis)
      if (!seen.count({p, axis})) {
        const auto other = seen.find({p, 1 - axis});
        if (other == seen.end())
          return "the header names points up to " + std::to_string(h.points) + " but not point " +
                 std::to_string(p) + ": expected x and y of every point from 1 to " +
                 std::to_string(h.points);
        return column_text(names, other->second) + " names " + coordinate_text({p, 1 - axis}) +
               " but no column names " + coordinate_text({p, axis}) +
               ": expected x and y of every point";
      }
  h.place.assign(names.size(), -1);
  for (const auto& [key, c] : seen) h.place[c] = 2 * (key.first - 1) + key.second;
  return "";
}

// The label first: the other columns are coordinates, one centroid size and its logarithms.
std::string morphoj_columns(const std::vector<std::string>& names, ColumnHeader& h) {
  std::vector<size_t> other;
  for (size_t c = 1; c < names.size(); ++c) {
    if (h.place[c] >= 0) continue;
    if (size_name(names[c]) && h.size_column < 0)
      h.size_column = static_cast<Index>(c);
    else if (log_size_name(names[c]))
      h.log_columns.push_back(static_cast<Index>(c));
    else
      other.push_back(c);
  }
  if (h.size_column < 0) other.insert(other.end(), h.log_columns.begin(), h.log_columns.end());
  if (other.empty()) return "";
  std::sort(other.begin(), other.end());
  return columns_text(names, other) +
         " neither a coordinate (x1, y1, ...) nor the centroid size (CentroidSize, kept as the "
         "trailing value; its logarithm only beside it): MorphoJ text is read as a label column "
         "first, then the coordinates; remove the other columns";
}

}  // namespace

ColumnHeader column_header(const std::vector<std::string>& names) {
  ColumnHeader h;
  std::vector<std::optional<Coordinate>> coords;
  for (const std::string& n : names) coords.push_back(coordinate_name(n));
  if (std::none_of(coords.begin(), coords.end(), [](const auto& c) { return c.has_value(); })) {
    h.problem = two_readings(names);
    return h;
  }
  if (h.problem = pair_coordinates(names, coords, h); !h.problem.empty()) return h;
  if (!coords.front()) {
    h.layout = FileKind::MorphoJ;
    h.problem = morphoj_columns(names, h);
    return h;
  }
  h.layout = FileKind::Rows;
  std::vector<size_t> inside;
  for (size_t c = 0; c + 1 < names.size(); ++c)
    if (!coords[c]) inside.push_back(c);
  if (!inside.empty())
    h.problem = columns_text(names, inside) +
                " among the coordinates: rows under a header name x1 y1 ... xk yk and then one "
                "trailing column; MorphoJ text names its label column first";
  else if (coords.back())
    h.problem = "the header names only coordinates (x and y of points 1 to " +
                std::to_string(h.points) +
                "): expected a label column first (MorphoJ text) or a trailing "
                "column last (rows of x1 y1 ... xk yk and a trailing value)";
  return h;
}

}  // namespace tav
