#include <charconv>
#include <cmath>

#include "formats/input.h"
#include "platform/error.h"
#include "platform/parse.h"
#include "platform/progress.h"

namespace tav {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Lines read between two ticks of the reading (see platform/progress.h).
constexpr long kLinesPerTick = 256;

std::string hex_byte(char c) {
  static const char* digits = "0123456789ABCDEF";
  const unsigned char b = static_cast<unsigned char>(c);
  return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

// Walks the text once: tokens are parsed in place, values appended to one array.
class RowReader {
 public:
  RowReader(const std::string& fname, std::string_view text, long first_line)
      : fname_(fname),
        begin_(text.data()),
        p_(begin_),
        end_(begin_ + text.size()),
        first_line_(first_line) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") p_ += 3;
    for (long line = 1; line < first_line_ && p_ < end_; ++line) {
      while (p_ < end_ && !is_line_end(*p_)) ++p_;
      skip_line_end();
    }
  }

  RowsRead read() {
    if (p_ == end_) return std::move(out_);
    out_.values.reserve(static_cast<size_t>(end_ - p_) / 8);
    for (long line = first_line_; p_ < end_; ++line) {
      if (line > first_line_ && is_end_line()) {
        out_.end_line = line;
        if (is_line_end(*p_))
          skip_line_end();
        else
          ++p_;
        count_unread();
        break;
      }
      read_line(line);
      if (line % kLinesPerTick == 0) progress_tick();
    }
    out_.decimal_comma = out_.commas && commas_between_digits_ && blank_between_values_;
    return std::move(out_);
  }

 private:
  Error fail(long line, const std::string& what) const {
    return Error("file " + fname_ + ", line " + std::to_string(line) + ": " + what);
  }

  // An empty line, or a last line of one character without a line end.
  bool is_end_line() const { return is_line_end(*p_) || p_ + 1 == end_; }

  // LF, CR LF and a lone CR each end one line.
  void skip_line_end() {
    if (p_ < end_ && *p_ == '\r') {
      ++p_;
      if (p_ < end_ && *p_ == '\n') ++p_;
    } else if (p_ < end_ && *p_ == '\n') {
      ++p_;
    }
  }

  void read_line(long line) {
    Index count = 0;
    std::string_view last;
    bool blank_pending = false;
    while (p_ < end_ && !is_line_end(*p_)) {
      const char c = *p_;
      if (is_blank(c)) {
        blank_pending = count > 0;
        ++p_;
        continue;
      }
      if (c == ',') {
        out_.commas = true;
        if (p_ == begin_ || !is_digit(p_[-1]) || p_ + 1 >= end_ || !is_digit(p_[1]))
          commas_between_digits_ = false;
        ++p_;
        continue;
      }
      const char* t = p_;
      double v = 0;
      // The common case in one scan: a plain finite number followed by a separator.
      const auto [ptr, ec] = std::from_chars(t, end_, v);
      if (ec == std::errc() && (ptr == end_ || is_field_separator(*ptr)) && std::isfinite(v)) {
        p_ = ptr;
      } else {
        while (p_ < end_ && !is_field_separator(*p_)) ++p_;
        v = number(line, count + 1, std::string_view(t, static_cast<size_t>(p_ - t)));
      }
      last = std::string_view(t, static_cast<size_t>(p_ - t));
      blank_between_values_ |= blank_pending;
      blank_pending = false;
      out_.values.push_back(v);
      ++count;
    }
    skip_line_end();
    finish_row(line, count, last);
  }

  double number(long line, Index column, std::string_view token) const {
    const ParsedNumber n = parse_number_token(token);
    if (n.status == NumberRead::Ok) return n.value;
    const std::string which = "value " + std::to_string(column) + " " + shown_token(token);
    for (char c : token)
      if (static_cast<unsigned char>(c) < 32 || c == 127)
        throw fail(
            line,
            which + " holds the byte " + hex_byte(c) +
                ", which is not text; the file must be plain text, one configuration per line");
    if (n.status == NumberRead::TooLarge)
      throw fail(line, which + " is beyond the range of a double");
    if (n.status == NumberRead::NotFinite) throw fail(line, which + " is not a finite number");
    throw fail(line, which + " is not a number");
  }

  void finish_row(long line, Index count, std::string_view last) {
    if (count == 0) throw fail(line, "the line holds no numbers");
    if (out_.trailing.empty())
      out_.cols = count;
    else if (count != out_.cols)
      throw fail(line, std::to_string(count) + " numbers where line " +
                           std::to_string(first_line_) + " has " + std::to_string(out_.cols) +
                           (out_.commas && commas_between_digits_ && blank_between_values_
                                ? "; " + decimal_comma_advice()
                                : "; every line must hold the same count"));
    out_.trailing.emplace_back(last);
  }

  // Lines after the end line are not read as rows; the user hears how many hold numbers.
  void count_unread() {
    while (p_ < end_) {
      bool digit = false;
      for (; p_ < end_ && !is_line_end(*p_); ++p_) digit |= is_digit(*p_);
      skip_line_end();
      ++out_.unread_lines;
      out_.unread_number_lines += digit;
    }
  }

  const std::string& fname_;
  const char* begin_;
  const char* p_;
  const char* end_;
  const long first_line_;  // the line the rows begin on; the lines before it are not read
  bool commas_between_digits_ = true, blank_between_values_ = false;
  RowsRead out_;
};

}  // namespace

std::string decimal_comma_advice() {
  return "the file seems to write decimals with a comma (\"1,5\" reads as the two numbers 1 and "
         "5): "
         "export it with a decimal point (in a spreadsheet, set the decimal separator to '.' or "
         "the language to English before saving as text)";
}

RowsRead read_rows(const std::string& fname, std::string_view text, long first_line) {
  return RowReader(fname, text, first_line).read();
}

}  // namespace tav
