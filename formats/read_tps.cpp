#include <fstream>
#include <iterator>

#include "formats/foreign_text.h"
#include "formats/tps.h"
#include "formats/tps_lines.h"
#include "geometry/geometry.h"
#include "platform/error.h"
#include "platform/progress.h"

namespace tav {
namespace {

using tps::Line;

enum class ScaleGiven { No, Empty, Yes };

struct Specimen {
  long number = 0;  // 1-based, in file order
  long line = 0;    // line of its LM=
  TpsLayout layout;
  long curves_line = 0;            // line of its CURVES=, 0 without
  std::vector<long> points_lines;  // line of every POINTS=
  std::vector<Eigen::RowVector2d> points;
  std::vector<long> point_lines;  // line of every point
  std::string id, image;
  ScaleGiven scale_given = ScaleGiven::No;
  double scale = 1;
};

// The specimen as the user knows it: by its ID=, else its IMAGE=, else its number.
std::string name(const Specimen& s) {
  const std::string n = "specimen " + std::to_string(s.number);
  if (!s.id.empty()) return n + " (ID=" + s.id + ")";
  if (!s.image.empty()) return n + " (IMAGE=" + s.image + ")";
  return n;
}

std::string read_text(const std::string& fname) {
  std::ifstream in(fname, std::ios::binary);
  if (!in)
    throw Error("cannot open the TPS file " + fname + "; check the name and the permissions");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Turns the non-blank lines into specimens, checking the grammar as it goes.
class Parser {
 public:
  Parser(const std::string& fname, std::vector<Line> lines)
      : fname_(fname), lines_(std::move(lines)) {}

  std::vector<Specimen> specimens() {
    std::vector<Specimen> out;
    while (i_ < lines_.size()) {
      out.push_back(specimen(static_cast<long>(out.size()) + 1));
      progress_tick();
    }
    if (out.empty()) throw Error("file " + fname_ + " holds no specimens (no LM= line)");
    return out;
  }

 private:
  Error fail(long line, const std::string& what) const {
    return Error("file " + fname_ + ", line " + std::to_string(line) + ": " + what);
  }

  Index count(const Line& l, const tps::KeyLine& k) const {
    const std::string& v = k.value;
    const bool whole =
        !v.empty() && v.size() <= 9 && v.find_first_not_of("0123456789") == std::string::npos;
    if (!whole)
      throw fail(l.number,
                 k.key + "= needs a whole number of points, found \"" + v.substr(0, 40) + "\"");
    return std::stol(v);
  }

  Specimen specimen(long number) {
    Specimen s;
    s.number = number;
    const Line& first = lines_[i_];
    const auto k = tps::key_line(first.text);
    if (k && k->key == "LM3")
      throw fail(first.number,
                 "LM3= marks three-dimensional landmarks; only two-dimensional "
                 "configurations (x y) can be loaded, so this file is refused");
    if (!k || k->key != "LM")
      throw fail(first.number, "expected LM= to begin specimen " + std::to_string(number) +
                                   ", found \"" + first.text.substr(0, 40) + "\"");
    s.line = first.number;
    s.layout.landmarks = count(first, *k);
    ++i_;
    points(s, s.layout.landmarks, "landmarks", "LM=", s.line);
    while (i_ < lines_.size()) {
      const Line& l = lines_[i_];
      const auto key = tps::key_line(l.text);
      if (!key)
        throw fail(l.number,
                   name(s) + ": more point lines than LM=" + std::to_string(s.layout.landmarks) +
                       " on line " + std::to_string(s.line) +
                       (s.curves_line ? " and its CURVES= blocks announce" : " announces") +
                       "; correct the count");
      if (key->key == "LM" || key->key == "LM3") break;
      ++i_;
      if (key->key == "CURVES" && s.curves_line == 0)
        curves(s, l, *key);
      else if (key->key == "ID")
        s.id = key->value;
      else if (key->key == "IMAGE")
        s.image = key->value;
      else if (key->key == "SCALE")
        scale(s, l, *key);
      else if (key->key == "COMMENT" || key->key == "VARIABLES")
        continue;
      else if (key->key == "CURVES")
        throw fail(l.number,
                   name(s) + " has a second CURVES= line; give all its curves in one block");
      else if (key->key == "POINTS")
        throw fail(
            l.number,
            "POINTS= outside a CURVES= block; CURVES=C must announce the C blocks of POINTS=");
      else
        throw fail(l.number, "unknown key " + key->key +
                                 "=; a TPS specimen holds LM=, CURVES=, POINTS=, "
                                 "IMAGE=, ID=, SCALE=, COMMENT= and VARIABLES= lines");
    }
    if (s.layout.points() == 0)
      throw fail(s.line, name(s) + " holds no points (LM=0 and no curves)");
    return s;
  }

  void curves(Specimen& s, const Line& l, const tps::KeyLine& k) {
    s.curves_line = l.number;
    const Index c = count(l, k);
    for (Index j = 0; j < c; ++j) {
      if (i_ >= lines_.size())
        throw fail(lines_.back().number, "the file ends after " + std::to_string(j) + " of the " +
                                             std::to_string(c) + " curves that CURVES= on line " +
                                             std::to_string(l.number) + " announces");
      const Line& p = lines_[i_];
      const auto key = tps::key_line(p.text);
      if (!key || key->key != "POINTS")
        throw fail(p.number, "expected POINTS= for curve " + std::to_string(j + 1) + " of the " +
                                 std::to_string(c) + " that CURVES= on line " +
                                 std::to_string(l.number) + " announces, found \"" +
                                 p.text.substr(0, 40) + "\"");
      ++i_;
      const Index n = count(p, *key);
      s.layout.curve_points.push_back(n);
      s.points_lines.push_back(p.number);
      points(s, n, "curve points", "POINTS=", p.number);
    }
  }

  void scale(Specimen& s, const Line& l, const tps::KeyLine& k) {
    if (k.value.empty()) {
      s.scale_given = ScaleGiven::Empty;
      return;
    }
    double v = 0;
    try {
      v = tps::parse_number(k.value, "SCALE=");
    } catch (const Error& e) {
      throw fail(l.number, name(s) + ": " + e.what());
    }
    if (v <= 0)
      throw fail(l.number, name(s) + ": SCALE=" + k.value + " is not a positive length per unit");
    s.scale_given = ScaleGiven::Yes;
    s.scale = v;
  }

  // The n point lines that the key on line `owner` announces.
  void points(Specimen& s, Index n, const char* what, const char* key, long owner) {
    const std::string announced = std::to_string(n) + " " + what + " that " + key +
                                  std::to_string(n) + " on line " + std::to_string(owner) +
                                  " announces";
    for (Index j = 0; j < n; ++j) {
      if (i_ >= lines_.size())
        throw fail(lines_.back().number, "specimen " + std::to_string(s.number) +
                                             ": the file ends after " + std::to_string(j) +
                                             " of the " + announced);
      const Line& l = lines_[i_];
      if (tps::key_line(l.text))
        throw fail(l.number, "specimen " + std::to_string(s.number) + ": found \"" +
                                 l.text.substr(0, 40) + "\" after " + std::to_string(j) +
                                 " of the " + announced +
                                 "; give every point or correct the count");
      try {
        s.points.push_back(tps::point_line(l.text));
        s.point_lines.push_back(l.number);
      } catch (const Error& e) {
        throw fail(l.number, "specimen " + std::to_string(s.number) + ": " + e.what());
      }
      ++i_;
    }
  }

  std::string fname_;
  std::vector<Line> lines_;
  size_t i_ = 0;
};

// Every specimen must have the points of the first, curve by curve.
void check_layouts(const std::string& fname, const std::vector<Specimen>& all) {
  const TpsLayout& want = all.front().layout;
  auto fail = [&](const Specimen& s, long line, const std::string& what) {
    return Error("file " + fname + ", line " + std::to_string(line) + ": " + name(s) + " " + what +
                 "; every specimen must have the landmarks and curve points of the first");
  };
  for (const Specimen& s : all) {
    if (s.layout.landmarks != want.landmarks)
      throw fail(s, s.line,
                 "has LM=" + std::to_string(s.layout.landmarks) +
                     " where specimen 1 has LM=" + std::to_string(want.landmarks));
    if (s.layout.curve_points.size() != want.curve_points.size())
      throw fail(s, s.curves_line ? s.curves_line : s.line,
                 "has " + std::to_string(s.layout.curve_points.size()) +
                     " curves where specimen 1 has " + std::to_string(want.curve_points.size()));
    for (size_t c = 0; c < want.curve_points.size(); ++c)
      if (s.layout.curve_points[c] != want.curve_points[c])
        throw fail(s, s.points_lines[c],
                   "has POINTS=" + std::to_string(s.layout.curve_points[c]) + " in curve " +
                       std::to_string(c + 1) +
                       " where specimen 1 has POINTS=" + std::to_string(want.curve_points[c]));
  }
}

// Names of the specimens, the first ten of them and how many more.
std::string names(const std::vector<const Specimen*>& list) {
  std::string out;
  const size_t shown = std::min<size_t>(list.size(), 10);
  for (size_t j = 0; j < shown; ++j) out += (j ? ", " : "") + name(*list[j]);
  if (list.size() > shown) out += " and " + std::to_string(list.size() - shown) + " more";
  return out;
}

// Whether the scales apply; the warnings the user should hear about them.
bool apply_scales(const std::string& fname, const std::vector<Specimen>& all,
                  std::vector<std::string>& warnings) {
  std::vector<const Specimen*> empty, without;
  for (const Specimen& s : all) {
    if (s.scale_given == ScaleGiven::Empty) empty.push_back(&s);
    if (s.scale_given != ScaleGiven::Yes) without.push_back(&s);
  }
  if (!empty.empty())
    warnings.push_back("file " + fname + ": SCALE= without a value is ignored for " + names(empty));
  const size_t with = all.size() - without.size();
  if (with > 0 && !without.empty())
    warnings.push_back(
        "file " + fname + ": only " + std::to_string(with) + " of " + std::to_string(all.size()) +
        " specimens have a SCALE= value, so no scale was applied and every specimen stays in "
        "the digitiser's units; without one: " +
        names(without));
  return without.empty();
}

// A warning per specimen with points that look left out by the digitiser: they are read as
// coordinates like any other, so the user hears which ones to place or which specimen to drop.
void warn_missing_points(const std::string& fname, const std::vector<Specimen>& all,
                         std::vector<std::string>& warnings) {
  for (const Specimen& s : all) {
    const std::vector<size_t> missing = tps::missing_points(s.points);
    if (missing.empty()) continue;
    std::string list;
    for (size_t j = 0; j < missing.size(); ++j) {
      const size_t p = missing[j];
      list += (j ? ", " : "") + std::to_string(p + 1) + " (line " +
              std::to_string(s.point_lines[p]) + ": " + foreign::number_text(s.points[p](0), 6) +
              " " + foreign::number_text(s.points[p](1), 6) + ")";
    }
    const bool one = missing.size() == 1;
    warnings.push_back(
        "file " + fname + ": " + name(s) + (one ? ", point " : ", points ") + list +
        (one ? " looks like a point" : " look like points") +
        " the digitiser left out (written as -1 -1 or negative values, where placed points are "
        "in image coordinates); read as coordinates all the same, so place " +
        (one ? "it" : "them") + " or leave the specimen out");
  }
}

}  // namespace

Index TpsLayout::points() const {
  Index n = landmarks;
  for (Index p : curve_points) n += p;
  return n;
}

TpsSample read_tps(const std::string& fname) { return read_tps_text(fname, read_text(fname)); }

TpsSample read_tps_text(const std::string& fname, const std::string& text) {
  const std::vector<Specimen> all = Parser(fname, tps::nonblank_lines(text)).specimens();
  check_layouts(fname, all);
  TpsSample out;
  out.layout = all.front().layout;
  warn_missing_points(fname, all, out.warnings);
  const bool scaled = apply_scales(fname, all, out.warnings);
  const Index k = out.layout.points();
  out.x.resize(static_cast<Index>(all.size()), 2 * k + 1);
  for (size_t i = 0; i < all.size(); ++i) {
    const Specimen& s = all[i];
    const Index r = static_cast<Index>(i);
    const double f = scaled ? s.scale : 1.0;
    for (Index p = 0; p < k; ++p) {
      out.x(r, 2 * p) = s.points[static_cast<size_t>(p)](0) * f;
      out.x(r, 2 * p + 1) = s.points[static_cast<size_t>(p)](1) * f;
    }
    out.x(r, 2 * k) = centroid_size(out.x.row(r).head(2 * k))(0);
    out.ids.push_back(s.id);
  }
  return out;
}

}  // namespace tav
