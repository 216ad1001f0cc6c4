#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/matrix.h"

namespace tav {

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
