#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/files.h"
#include "formats/input.h"
#include "platform/save_target.h"

namespace tav {
namespace {

// Temporary files are named ".tavrel6-<process id>-XXXXXX.tmp" in the target's folder.
const std::string kTempPrefix = ".tavrel6-";

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// Removes temporary files that earlier saves into `folder` left when they were killed: those
// whose process no longer runs.
void remove_stale_temporaries(const std::string& folder) {
  DIR* d = ::opendir(folder.c_str());
  if (!d) return;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.rfind(kTempPrefix, 0) != 0 || name.size() < 4 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0)
      continue;
    const long pid = std::strtol(name.c_str() + kTempPrefix.size(), nullptr, 10);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
      std::remove((folder + name).c_str());
  }
  ::closedir(d);
}

// The mode the written file gets: that of the file it replaces, else what a new file gets.
mode_t mode_for(const std::string& target, bool& exists) {
  struct stat st {};
  exists = ::stat(target.c_str(), &st) == 0;
  if (exists) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void write_file_atomically(const std::string& path, const std::string& text) {
  write_file_atomically(path, [&](const TextSink& put) { put(text); });
}

void write_file_atomically(const std::string& path,
                           const std::function<void(const TextSink&)>& write) {
  if (save_target(path) == SaveTarget::in_place) {
    // Made whole first: a text that fails half-way must not reach a device or a reader.
    std::string text;
    write([&](std::string_view piece) { text += piece; });
    write_in_place(path, text);
    return;
  }
  const std::string target = replaced_file(path);
  bool exists = false;
  const mode_t mode = mode_for(target, exists);
  // A file made read-only is kept, even from a user (root) whom the system would let write it.
  if (exists && ((mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0))
    throw Error("cannot write " + shown_name(path) +
                ": the file exists and is read-only; choose another name "
                "or make it writable; nothing was written");
  const std::string folder = folder_of(target);
  remove_stale_temporaries(folder);
  std::string tmp = folder + kTempPrefix + std::to_string(::getpid()) + "-XXXXXX.tmp";
  const int fd = ::mkstemps(tmp.data(), 4);
  if (fd < 0)
    throw Error("cannot write " + shown_name(path) + ": " + std::strerror(errno) +
                " (is the folder writable?); nothing was written");
  std::FILE* f = ::fdopen(fd, "w");
  bool ok = f != nullptr;
  int err = ok ? 0 : errno;
  const TextSink put = [&](std::string_view piece) {
    if (ok && std::fwrite(piece.data(), 1, piece.size(), f) != piece.size())
      ok = false, err = errno;
  };
  try {
    if (ok) write(put);
  } catch (...) {
    f ? std::fclose(f) : ::close(fd);
    std::remove(tmp.c_str());
    throw;
  }
  if (ok && std::fflush(f) != 0) ok = false, err = errno;
  if (ok && ::fchmod(fd, mode) != 0) ok = false, err = errno;
  if (f)
    std::fclose(f);
  else
    ::close(fd);
  if (!ok || std::rename(tmp.c_str(), target.c_str()) != 0) {
    const int e = ok ? errno : err;
    std::remove(tmp.c_str());
    throw Error("cannot write " + shown_name(path) + ": " + std::strerror(e) +
                "; any earlier file is unchanged");
  }
}

}  // namespace tav
