#include "shell/qt/console_tee.h"

#include <functional>
#include <utility>

#include "platform/console.h"

namespace tav {
namespace {

constexpr std::size_t kTail = 4096;

// Writes everything both to the stream it had and to a sink.
class TeeBuffer : public std::streambuf {
 public:
  TeeBuffer(std::ostream* out, std::function<void(const char*, std::streamsize)> sink)
      : out_(out), sink_(std::move(sink)) {}

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    const char ch = static_cast<char>(c);
    xsputn(&ch, 1);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    out_->write(s, n);
    sink_(s, n);
    return n;
  }
  int sync() override {
    out_->flush();
    return 0;
  }

 private:
  std::ostream* out_;
  std::function<void(const char*, std::streamsize)> sink_;
};

}  // namespace

ConsoleTee::~ConsoleTee() {
  if (stream_ && &console() == stream_.get()) set_console(previous_);
}

void ConsoleTee::attach() {
  if (stream_) return;
  buffer_ = std::make_unique<TeeBuffer>(&console(), [this](const char* s, std::streamsize n) {
    keep(std::string(s, static_cast<std::size_t>(n)));
  });
  stream_ = std::make_unique<std::ostream>(buffer_.get());
  previous_ = set_console(stream_.get());
}

void ConsoleTee::keep(const std::string& text) {
  pending_ += text;
  tail_ += text;
  if (tail_.size() > kTail) tail_.erase(0, tail_.size() - kTail);
}

bool ConsoleTee::ends_with_line(const std::string& line) const {
  return tail_.size() >= line.size() + 1 &&
         tail_.compare(tail_.size() - line.size() - 1, std::string::npos, line + "\n") == 0;
}

std::string ConsoleTee::take() { return std::exchange(pending_, std::string()); }

}  // namespace tav
