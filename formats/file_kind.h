#pragma once
// Which of the window's loads a file dropped on it (or picked from the recent files) is for,
// told by its content.
#include <string>

#include "platform/matrix.h"

namespace tav {

// The action that reads the file: "LoadProtocol" for protocol rows (an even count of at least
// 4 numbers per row: a whole curve code, 0, a point number from 1, a type 0, 1 or 2) and for
// sliders tables (is_sliders_table); "LoadReference" for a single configuration of the width of
// `data` (the loaded sample) while it has several rows; "Load" for anything else (a TPS file,
// configuration rows, and any file that cannot
// be read, so that Load reports why with its usual message).
std::string load_action_for(const std::string& path, const Matrix& data);

}  // namespace tav
