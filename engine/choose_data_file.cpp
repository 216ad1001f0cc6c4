#include <new>

#include "engine/controls.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/input.h"

namespace tav {

bool tell_lines_after_end(Session& session, const ChosenDataFile& r) {
  const DataFile& f = r.file;
  if (f.unread_number_lines == 0) return false;
  tell_user(session,
            "file " + r.path + ": reading stopped at the empty line " + std::to_string(f.end_line) +
                ", which ends the data; " + std::to_string(f.unread_number_lines) +
                " lines with numbers after it were not read. Remove the empty line to read them.");
  return true;
}

ChosenDataFile choose_data_file(Backend& ui,
                                const std::function<DataFile(const std::string&)>& read) {
  ChosenDataFile r;
  const FileChoice choice = ui.open_file("*.*", "Enter file to Load?");
  if (choice.cancelled) return r;
  r.cancelled = false;
  try {
    r.file = read(choice.path());
  } catch (const std::bad_alloc&) {
    throw too_large_for_memory(shown_name(choice.path()));
  }
  r.path = shown_name(choice.path());
  r.fn = shown_name(choice.name);
  return r;
}

}  // namespace tav
