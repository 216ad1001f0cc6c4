#include "platform/save_target.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/shown_name.h"

namespace tav {
namespace {

const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISBLK(mode)) return "a block device (a disk or a partition)";
  if (S_ISSOCK(mode)) return "a socket";
  return "neither a regular file nor a device or pipe to write into";
}

}  // namespace

SaveTarget save_target(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return SaveTarget::replace;
  if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) return SaveTarget::in_place;
  throw Error("cannot write " + shown_name(path) + ": it is " + kind_of(st.st_mode) +
              "; choose a file name; nothing was written");
}

std::string replaced_file(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char buf[PATH_MAX];
  if (::realpath(path.c_str(), buf)) return buf;
  // A dangling link: write where it points.
  const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
  if (n <= 0) return path;
  const std::string target(buf, static_cast<size_t>(n));
  if (target[0] == '/') return target;
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
}

}  // namespace tav
