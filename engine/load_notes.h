#pragma once
// What the engine's loads say besides their result, in one wording for every kind of file.
#include <optional>
#include <string>

#include "formats/files.h"

namespace tav {

// Ends every refusal of a load.
inline constexpr const char* kNothingLoaded = "; nothing was loaded";

// When lines with numbers follow the end line of the file read: which line ended the reading
// and how many such lines were left; otherwise nothing (the console is told of other lines).
std::optional<std::string> unread_lines_note(const std::string& name, const DataFile& f);

// The bytes of the file at `path`, or Error with what the user reads ("Cannot open the `what`
// file ...; nothing was loaded", or why reading failed).
std::string bytes_of(const std::string& what, const std::string& path);

// The file's name without its folder, as messages show it.
std::string file_name(const std::string& path);

}  // namespace tav
