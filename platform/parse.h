#pragma once
#include <optional>
#include <string>

#include "platform/matrix.h"

namespace tav {

// The numbers of one text line, separated by blanks, tabs or commas (a trailing line end is
// ignored). Raises Error when a token is not a finite number of double range; the text says
// which token and why, for the reader to prefix with the file and the line.
Row parse_numbers(const std::string& line);

}  // namespace tav
