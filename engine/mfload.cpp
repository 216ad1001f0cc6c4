#include <unistd.h>

#include "engine/files.h"
#include "platform/backend.h"

namespace tav {

MfloadResult mfload(const std::function<DloadResult(const std::string&)>& read) {
  MfloadResult r;
  const FileChoice choice = ui().open_file("*.*", "Enter file to Load?");
  if (choice.cancelled) return r;
  r.cancelled = false;
  r.path = choice.path();
  r.fn = choice.name;
  r.file = read(r.path);
  if (!choice.folder.empty() && ::chdir(choice.folder.c_str()) != 0) {
    // The folder was just read from; a failure to enter it only means the next dialog starts
    // elsewhere, which is harmless.
  }
  return r;
}

}  // namespace tav
