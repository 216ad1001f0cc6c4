#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/matrix.h"

namespace tav {

// The characters that split text into lines and fields, the same for every reader whatever the
// locale (std::isspace takes other bytes under some locales).
// A blank: a space or a tab.
constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }
// A line end: LF or CR (CR LF is one line end wherever lines are counted).
constexpr bool is_line_end(char c) { return c == '\n' || c == '\r'; }
// What separates the numbers of a row: a blank, a comma or a line end. A form feed or a vertical
// tab is none: a row holding one is refused as not plain text.
constexpr bool is_field_separator(char c) { return is_blank(c) || c == ',' || is_line_end(c); }
// White space: a blank, a line end, a form feed or a vertical tab (what std::isspace takes in
// the "C" locale). The free-format readers (NTS, Morphologika, TPS) skip it between words; it
// is trimmed from the fields of a table with a header and from labels.
constexpr bool is_white_space(char c) {
  return is_blank(c) || is_line_end(c) || c == '\f' || c == '\v';
}

// The token of `text` at or after `pos` (at most text.size()): the separators there skipped,
// the run of characters up to the next separator, as `is_separator` tells them. `pos` moves past
// the token; the token is empty when only separators are left.
std::string_view next_token(std::string_view text, size_t& pos, bool (*is_separator)(char));

// The numbers of one text line, separated by blanks, tabs or commas (a trailing line end is
// ignored). Raises Error when a token is not a finite number of double range; the text says
// which token and why, for the reader to prefix with the file and the line.
Row parse_numbers(const std::string& line);

// How a whole token reads as a number, whatever the process's locale: decimal point always,
// optional sign ('+' too), optional exponent; "inf" and "nan" read as not finite.
enum class NumberRead { Ok, NotANumber, TooLarge, NotFinite };
struct ParsedNumber {
  NumberRead status = NumberRead::NotANumber;
  double value = 0;  // a magnitude too small to hold reads as 0
};
ParsedNumber parse_number_token(std::string_view token);

// A token as a message shows it: in quotes, cut after 40 characters, every byte that is not
// printable text shown as '?'.
std::string shown_token(std::string_view token);

}  // namespace tav
