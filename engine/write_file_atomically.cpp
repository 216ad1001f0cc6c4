#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files.h"

namespace tav {

void write_file_atomically(const std::string& path, const std::string& text) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string tmp = (slash == std::string::npos ? std::string("./") : folder) + ".tavrel6-XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0)
    throw Error("cannot write " + path + ": " + std::strerror(errno) +
                " (is the folder writable?); nothing was written");
  std::FILE* f = ::fdopen(fd, "w");
  bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = f && std::fflush(f) == 0 && ok;
  const int err = errno;
  if (f) std::fclose(f); else ::close(fd);
  if (ok) ::chmod(tmp.c_str(), 0644);
  if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
    const int e = ok ? errno : err;
    std::remove(tmp.c_str());
    throw Error("cannot write " + path + ": " + std::strerror(e) + "; any earlier file is unchanged");
  }
}

}  // namespace tav
