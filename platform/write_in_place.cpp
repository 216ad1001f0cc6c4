#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/save_target.h"
#include "platform/shown_name.h"

namespace tav {
namespace {

// While it lives, a write into a pipe whose reader has gone fails with EPIPE instead of ending
// the program by SIGPIPE; the signal such a write raised is taken back before the mask is.
class PipeSignalHeld {
 public:
  PipeSignalHeld() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_, &before_);
  }
  ~PipeSignalHeld() {
    sigset_t pending;
    if (!sigismember(&before_, SIGPIPE) && sigpending(&pending) == 0 &&
        sigismember(&pending, SIGPIPE)) {
      const timespec now{0, 0};
      sigtimedwait(&pipe_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
  }
  PipeSignalHeld(const PipeSignalHeld&) = delete;
  PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;

 private:
  sigset_t pipe_, before_;
};

}  // namespace

void write_in_place(const std::string& path, std::string_view bytes) {
  int fd = -1;
  do fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0)
    throw Error("cannot write " + shown_name(path) + ": " + std::strerror(errno) +
                "; nothing was written");
  const PipeSignalHeld held;
  size_t done = 0;
  int err = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
  if (err == 0) return;
  throw Error("cannot write " + shown_name(path) + ": " + std::strerror(err) +
              (done == 0 ? "; nothing was written"
                         : "; only the first " + std::to_string(done) + " of " +
                               std::to_string(bytes.size()) + " bytes were written"));
}

}  // namespace tav
