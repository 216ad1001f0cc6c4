#pragma once
// Which of the window's loads a file dropped on it (or picked from the recent files) is for,
// told by its content.
#include <string>

namespace tav {

// The action that reads the file: "LoadProtocol" for protocol rows (an even count of at least
// 4 numbers per row: a whole curve code, 0, a point number from 1, a type 0, 1 or 2) and for
// sliders tables (is_sliders_table);
// "LoadReference" for a single configuration of the loaded sample's width while a sample is
// loaded; "Load" for anything else (a TPS file, configuration rows, and any file that cannot
// be read, so that Load reports why with its usual message).
std::string load_action_for(const std::string& path);

}  // namespace tav
