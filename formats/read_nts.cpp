// NTS matrices: a parameter line "1 n p c [code] [DIM=d]" (1: a rectangular matrix; n rows, the
// specimens; p columns, x1 y1 ... of every point; c = 1 announces the missing-value code that
// follows), n specimen labels when n is marked L, p column labels when p is marked L, then the
// n×p values in row order, free format. A '"' begins a comment that runs to the line's end.
#include <algorithm>
#include <cmath>

#include "formats/foreign_text.h"
#include "formats/formats.h"
#include "formats/line_fields.h"
#include "platform/error.h"

namespace tav {
namespace {

struct Token {
  long line = 0;
  std::string text;
};

// The words of the file with their lines, free format: lines end at LF (a CR is white space),
// and a '"' ends the word it touches and begins a comment to the line's end.
std::vector<Token> nts_words(std::string_view text) {
  std::vector<Token> out;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  for (long line = 1; !text.empty(); ++line) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view content = text.substr(0, end);
    for (std::string& word : words(content.substr(0, content.find('"'))))
      out.push_back({line, std::move(word)});
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return out;
}

class NtsParser {
 public:
  NtsParser(const std::string& fname, std::vector<Token> t) : fname_(fname), t_(std::move(t)) {}

  ForeignSample read() {
    if (t_.empty())
      throw Error("file " + fname_ + " holds no NTS parameter line (\"1 n p 0 DIM=2\")");
    const long header = t_.front().line;
    expect_whole(next("the matrix type 1"), "the matrix type 1 (a rectangular matrix)", 1, 1);
    bool n_labels = false, p_labels = false;
    const long n = count(next("the number of specimens"), "the number of specimens", n_labels);
    specimens_ = n;
    const long p = count(next("the number of coordinates"), "the number of coordinates", p_labels);
    const long missing =
        expect_whole(next("the missing-value flag"), "the missing-value flag (0 or 1)", 0, 1);
    std::optional<double> code;
    if (missing) code = value(next("the missing-value code"), "the missing-value code");
    long dim = 2;
    while (i_ < t_.size() && t_[i_].line == header) dim = dimension(t_[i_++]);
    if (dim != 2)
      throw fail(header,
                 "DIM=" + std::to_string(dim) + " marks " + std::to_string(dim) +
                     "-dimensional landmarks; only two-dimensional configurations (x y) can "
                     "be loaded, so this file is refused");
    if (p % 2 != 0)
      throw fail(header, std::to_string(p) +
                             " coordinates per specimen; two-dimensional points need "
                             "an even count (x and y of every point)");
    // The counts are checked against the words the file holds before anything of their size
    // is made: a parameter line of a few bytes may promise more than any memory holds.
    const size_t labels = static_cast<size_t>(n_labels ? n : 0) + (p_labels ? p : 0);
    if (t_.size() - i_ < labels + static_cast<size_t>(n) * static_cast<size_t>(p))
      fail_where_the_file_ends(n, p, n_labels, p_labels, code);
    ForeignSample s;
    for (long r = 0; r < n; ++r) s.ids.push_back(n_labels ? next("a specimen label").text : "");
    for (long c = 0; p_labels && c < p; ++c) next("a column label");
    s.x.resize(n, p + 1);
    for (long r = 0; r < n; ++r)
      for (long c = 0; c < p; ++c) s.x(r, c) = coordinate(r, c, p, code);
    if (i_ < t_.size())
      throw fail(t_[i_].line, "found " + foreign::shown(t_[i_].text) + " after the " +
                                  std::to_string(n) + "×" + std::to_string(p) +
                                  " values the parameter line announces; "
                                  "correct the counts");
    s.x.col(p) = foreign::centroid_sizes(s.x).transpose();
    return s;
  }

 private:
  Error fail(long line, const std::string& what) const {
    return Error("file " + fname_ + ", line " + std::to_string(line) + ": " + what);
  }

  const Token& next(const std::string& what) {
    if (i_ >= t_.size())
      throw fail(t_.back().line, "the file ends where " + what + " was expected");
    return t_[i_++];
  }

  double value(const Token& t, const std::string& what) const {
    const auto v = foreign::number(t.text);
    if (!v) {
      const std::string hint =
          t.text.find(',') != std::string::npos ? "; write decimals with a point" : "";
      throw fail(t.line, "expected " + what + ", found " + foreign::shown(t.text) + hint);
    }
    return *v;
  }

  long expect_whole(const Token& t, const std::string& what, long lo, long hi) const {
    const double v = value(t, what);
    // The range first: a value beyond long's range must not reach the conversion.
    if (!(v >= static_cast<double>(lo) && v <= static_cast<double>(hi)) || v != std::floor(v))
      throw fail(t.line, "expected " + what + ", found " + foreign::shown(t.text));
    return static_cast<long>(v);
  }

  // A count, marked L when labels for it follow the parameter line.
  long count(const Token& t, const std::string& what, bool& labelled) const {
    std::string digits = t.text;
    labelled = !digits.empty() && (digits.back() == 'L' || digits.back() == 'l');
    if (labelled) digits.pop_back();
    return expect_whole({t.line, digits}, what + " (a whole number, L after it when labels follow)",
                        1, 100000000);
  }

  // Walks the labels and values the file holds, as far as they go, and raises where they end.
  [[noreturn]] void fail_where_the_file_ends(long n, long p, bool n_labels, bool p_labels,
                                             const std::optional<double>& code) {
    for (long r = 0; n_labels && r < n; ++r) next("a specimen label");
    for (long c = 0; p_labels && c < p; ++c) next("a column label");
    for (long j = 0;; ++j) coordinate(j / p, j % p, p, code);
  }

  long dimension(const Token& t) const {
    const std::string& s = t.text;
    const bool dim = s.size() > 4 && (s.compare(0, 4, "DIM=") == 0 || s.compare(0, 4, "dim=") == 0);
    if (!dim)
      throw fail(t.line,
                 "expected DIM=2 or the end of the parameter line, found " + foreign::shown(s));
    return expect_whole({t.line, s.substr(4)}, "the dimension after DIM=", 1, 1000);
  }

  double coordinate(long r, long c, long p, const std::optional<double>& code) {
    const std::string what =
        "value " + std::to_string(c + 1) + " of specimen " + std::to_string(r + 1);
    if (i_ >= t_.size())
      throw fail(t_.back().line,
                 "the file ends where " + what + " was expected; the parameter line on line " +
                     std::to_string(t_.front().line) + " announces " + std::to_string(specimens_) +
                     " specimens of " + std::to_string(p) + " values each; correct the counts");
    const Token& t = t_[i_++];
    const double v = value(t, what + " (a number)");
    if (code && v == *code)
      throw fail(t.line, what + " is the missing-value code " + t.text +
                             "; every point is needed for "
                             "the superimposition: estimate it or leave the specimen out");
    return v;
  }

  std::string fname_;
  std::vector<Token> t_;
  size_t i_ = 0;
  long specimens_ = 0;  // as the parameter line gives it
};

}  // namespace

ForeignSample read_nts(const std::string& fname) {
  return read_nts(fname, foreign::file_text(fname));
}

ForeignSample read_nts(const std::string& fname, const std::string& text) {
  return NtsParser(fname, nts_words(text)).read();
}

}  // namespace tav
