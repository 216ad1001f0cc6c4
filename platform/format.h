#pragma once
// Text formatting as the program's status texts and result files use it: "%g", "%f", "%i"/"%d",
// "%s", "%e" with flags, width and precision; the two characters \n in a format become a line
// break. The format is applied again and again to the arguments' elements, taken in column
// order, until all are written; a format without conversions is written once.
#include <string>
#include <vector>

#include "platform/value.h"

namespace tav {

// Significant digits of a "%g" without its own precision, unless a session asks for others
// (the batch tool's --digits).
constexpr int kGDigits = 6;

// g_digits: the significant digits of every "%g" without its own precision.
std::string sprintf_m(const std::string& format, const std::vector<Value>& args,
                      int g_digits = kGDigits);

// Number to short text, as a user reads it beside a marker or in a "%s": whole numbers without a
// point, others with at most five significant digits ("%.5g"); never a decimal comma.
std::string short_number_text(double v);

// v as "%g" writes it in the C locale (never a decimal comma) with `digits` significant digits,
// as sprintf_m's "%g" does with the same g_digits.
std::string g_text(double v, int digits = kGDigits);

// s with the letters A to Z in lower case; other bytes as they are, whatever the locale.
std::string lower_case(std::string s);

}  // namespace tav
