#include "engine/load_notes.h"

#include <filesystem>
#include <new>

#include "formats/input.h"
#include "platform/console.h"

namespace tav {

std::optional<std::string> unread_lines_note(const std::string& name, const DataFile& f) {
  if (f.unread_number_lines > 0)
    return "file " + name + ": reading stopped at the empty line " + std::to_string(f.end_line) +
           ", which ends the data; " + std::to_string(f.unread_number_lines) +
           " lines with numbers after it were not read. Remove the empty line to read them.";
  if (f.unread_lines > 0)
    console_write("file " + name + ": reading stopped at the end line " +
                  std::to_string(f.end_line) + "; " + std::to_string(f.unread_lines) +
                  " further lines were left unread\n");
  return std::nullopt;
}

std::string bytes_of(const std::string& what, const std::string& path) {
  try {
    std::optional<std::string> text = read_input(path);
    if (!text)
      throw Error("Cannot open the " + what + " file " + shown_name(path) + kNothingLoaded);
    return std::move(*text);
  } catch (const std::bad_alloc&) {
    throw Error(too_large_for_memory(shown_name(path)).what() + std::string(kNothingLoaded));
  } catch (const Error& e) {
    const std::string text = e.what();
    throw Error(text.find(kNothingLoaded) == std::string::npos ? text + kNothingLoaded : text);
  }
}

std::string file_name(const std::string& path) {
  return shown_name(std::filesystem::path(path).filename().string());
}

}  // namespace tav
