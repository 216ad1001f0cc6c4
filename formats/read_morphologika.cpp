// Morphologika files: sections opened by a bracketed name on a line of its own, lines beginning
// with ' are comments. [individuals] n, [landmarks] k, [dimensions] 2, [names] one label per
// line, [rawpoints] the k points of every individual in turn, one "x y" per line. Of the other
// sections, [labels] with [labelvalues] give the centroid size when a label is CentroidSize;
// the rest ([wireframe], [groups], [polygons], ...) are named to the user as not used.
#include <algorithm>
#include <cctype>
#include <map>

#include "formats/foreign_text.h"
#include "formats/formats.h"
#include "formats/line_fields.h"
#include "formats/tps_lines.h"
#include "platform/error.h"
#include "platform/format.h"

namespace tav {
namespace {

using tps::Line;

struct Section {
  long line = 0;            // line of its [name]
  std::vector<Line> lines;  // its content lines, comments left out
};

class MorphologikaParser {
 public:
  MorphologikaParser(const std::string& fname, const std::string& text) : fname_(fname) {
    for (const Line& l : tps::nonblank_lines(text)) {
      last_line_ = l.number;
      if (l.text[0] == '\'') continue;
      if (l.text[0] == '[') {
        const size_t close = l.text.find(']');
        if (close == std::string::npos)
          throw fail(l.number, "expected a section name in brackets, such as [rawpoints], found " +
                                   foreign::shown(l.text));
        current_ = lower_case(l.text.substr(1, close - 1));
        if (sections_.count(current_))
          throw fail(l.number, "[" + current_ + "] appears a second time (first on line " +
                                   std::to_string(sections_[current_].line) + ")");
        sections_[current_].line = l.number;
        order_.push_back(current_);
        const std::string rest = l.text.substr(close + 1);
        if (!trimmed(rest).empty()) sections_[current_].lines.push_back({l.number, rest});
        continue;
      }
      if (current_.empty())
        throw fail(l.number,
                   "expected a section such as [individuals] before " + foreign::shown(l.text));
      sections_[current_].lines.push_back(l);
    }
  }

  ForeignSample read() {
    const long n = count("individuals"), k = count("landmarks"), d = count("dimensions");
    if (d != 2)
      throw fail(
          sections_["dimensions"].line,
          "[dimensions] " + std::to_string(d) +
              ": only two-dimensional configurations (x y) can be loaded, so this file is refused");
    ForeignSample s;
    read_points(s.x, n, k);
    s.ids = names(n);
    s.x.col(2 * k) = foreign::centroid_sizes(s.x).transpose();
    centroid_size_label(s.x, n, k);
    std::vector<std::string> unused;
    for (const std::string& name : order_)
      if (!known(name)) unused.push_back("[" + name + "]");
    if (!unused.empty()) {
      std::string list;
      for (const std::string& u : unused) list += (list.empty() ? "" : ", ") + u;
      s.warnings.push_back("file " + fname_ + ": " + list +
                           " not used; the curves drawn and slid come "
                           "from the curve protocol");
    }
    return s;
  }

 private:
  Error fail(long line, const std::string& what) const {
    return Error("file " + fname_ + ", line " + std::to_string(line) + ": " + what);
  }

  static bool known(const std::string& name) {
    static const char* read[] = {"individuals", "landmarks", "dimensions", "names",
                                 "rawpoints",   "labels",    "labelvalues"};
    return std::find(std::begin(read), std::end(read), name) != std::end(read);
  }

  const Section& required(const std::string& name) {
    const auto it = sections_.find(name);
    if (it == sections_.end())
      throw fail(last_line_, "the file ends without a [" + name +
                                 "] section; a Morphologika file needs "
                                 "[individuals], [landmarks], [dimensions] and [rawpoints]");
    return it->second;
  }

  long count(const std::string& name) {
    const Section& s = required(name);
    const std::vector<std::string> t =
        s.lines.empty() ? std::vector<std::string>{} : words(s.lines.front().text);
    const long line = s.lines.empty() ? s.line : s.lines.front().number;
    const auto v = t.size() == 1 ? foreign::number(t[0]) : std::nullopt;
    if (!v || *v < 1 || *v > 1e8 || *v != static_cast<double>(static_cast<long>(*v)) ||
        s.lines.size() > 1)
      throw fail(line, "[" + name + "] needs one positive whole number on the line after it");
    return static_cast<long>(*v);
  }

  void read_points(Matrix& x, long n, long k) {
    const Section& raw = required("rawpoints");
    const long want = n * k;
    if (static_cast<long>(raw.lines.size()) != want) {
      const long line = raw.lines.empty() ? raw.line : raw.lines.back().number;
      throw fail(line, "[rawpoints] holds " + std::to_string(raw.lines.size()) +
                           " point lines where [individuals] " + std::to_string(n) +
                           " × [landmarks] " + std::to_string(k) + " = " + std::to_string(want) +
                           " were expected");
    }
    x.resize(n, 2 * k + 1);
    for (long i = 0; i < want; ++i) {
      const Line& l = raw.lines[static_cast<size_t>(i)];
      const std::vector<std::string> t = words(l.text);
      if (t.size() != 2)
        throw fail(l.number, "expected x and y of point " + std::to_string(i % k + 1) +
                                 " of individual " + std::to_string(i / k + 1) + ", found " +
                                 std::to_string(t.size()) + " values");
      for (long c = 0; c < 2; ++c) {
        const auto v = foreign::number(t[static_cast<size_t>(c)]);
        if (!v)
          throw fail(l.number, std::string(c ? "y" : "x") + " of point " +
                                   std::to_string(i % k + 1) + " of individual " +
                                   std::to_string(i / k + 1) + ": " +
                                   foreign::shown(t[static_cast<size_t>(c)]) + " is not a number");
        x(i / k, 2 * (i % k) + c) = *v;
      }
    }
  }

  std::vector<std::string> names(long n) {
    const auto it = sections_.find("names");
    if (it == sections_.end()) return std::vector<std::string>(static_cast<size_t>(n));
    const Section& s = it->second;
    if (static_cast<long>(s.lines.size()) != n)
      throw fail(s.lines.empty() ? s.line : s.lines.back().number,
                 "[names] holds " + std::to_string(s.lines.size()) +
                     " names where [individuals] gives " + std::to_string(n) +
                     "; give one name per line for every individual");
    std::vector<std::string> ids;
    for (const Line& l : s.lines) ids.push_back(l.text);
    return ids;
  }

  // [labels] naming CentroidSize, with its [labelvalues], replaces the computed sizes.
  void centroid_size_label(Matrix& x, long n, long k) {
    const auto labels = sections_.find("labels"), values = sections_.find("labelvalues");
    if (labels == sections_.end() || values == sections_.end()) return;
    std::vector<std::string> names;
    for (const Line& l : labels->second.lines)
      for (const std::string& t : words(l.text)) names.push_back(lower_case(t));
    const auto at = std::find(names.begin(), names.end(), "centroidsize");
    if (at == names.end()) return;
    const size_t column = static_cast<size_t>(at - names.begin());
    const Section& v = values->second;
    if (static_cast<long>(v.lines.size()) != n)
      throw fail(v.lines.empty() ? v.line : v.lines.back().number,
                 "[labelvalues] holds " + std::to_string(v.lines.size()) +
                     " lines where [individuals] gives " + std::to_string(n));
    for (long i = 0; i < n; ++i) {
      const Line& l = v.lines[static_cast<size_t>(i)];
      const std::vector<std::string> t = words(l.text);
      const auto cs = column < t.size() ? foreign::number(t[column]) : std::nullopt;
      if (!cs || *cs <= 0)
        throw fail(l.number, "expected the CentroidSize of individual " + std::to_string(i + 1) +
                                 " (a positive number) in column " + std::to_string(column + 1));
      x(i, 2 * k) = *cs;
    }
  }

  std::string fname_;
  std::map<std::string, Section> sections_;
  std::vector<std::string> order_;
  std::string current_;
  long last_line_ = 1;
};

}  // namespace

ForeignSample read_morphologika(const std::string& fname) {
  return read_morphologika(fname, foreign::file_text(fname));
}

ForeignSample read_morphologika(const std::string& fname, const std::string& text) {
  return MorphologikaParser(fname, text).read();
}

}  // namespace tav
