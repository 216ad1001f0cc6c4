#pragma once
#include <string>

namespace tav {

// A file name as messages print it: control characters (a newline, an escape sequence) as
// \xNN, so a name cannot break a message's line or drive the terminal; other bytes as they are.
std::string shown_name(const std::string& path);

}  // namespace tav
