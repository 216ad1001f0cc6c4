#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

#include "formats/input.h"
#include "platform/error.h"
#include "platform/progress.h"

namespace tav {
namespace {

long line_of(const std::string& text, size_t pos) {
  long n = 1;
  for (size_t i = 0; i < pos; ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++n;
  return n;
}

// The first byte of the line holding `pos` that no text holds: binary files are named by the
// byte a user can look up (a gzip file by 0x1F, not by the NUL after it).
char first_binary_byte(const std::string& text, size_t pos) {
  size_t start = pos;
  while (start > 0 && text[start - 1] != '\n' && text[start - 1] != '\r') --start;
  for (size_t i = start; i < pos; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c < 32 && c != '\t') || c == 127) return text[i];
  }
  return '\0';
}

std::string hex_byte(char c) {
  static const char* digits = "0123456789ABCDEF";
  const unsigned char b = static_cast<unsigned char>(c);
  return std::string("0x") + digits[b >> 4] + digits[b & 15];
}

// Bytes read between two ticks of the reading (see platform/progress.h).
constexpr size_t kBytesPerTick = size_t{1} << 20;

}  // namespace

std::optional<std::string> read_input(const std::string& fname) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(fname.c_str(), "rb"), &std::fclose);
  if (!f) return std::nullopt;
  std::string text;
  struct stat st {};
  if (::fstat(::fileno(f.get()), &st) == 0 && S_ISREG(st.st_mode))
    text.reserve(static_cast<size_t>(st.st_size) + 1);
  size_t line_start = 0;  // where the line being read began
  size_t size = 0;
  for (;;) {
    // Read straight into the text's own buffer: no copy per chunk.
    // A regular file fits the reserved room; the last read finds its end without regrowing.
    const size_t want =
        text.capacity() > size ? std::min(text.capacity() - size, kBytesPerTick) : size_t{1} << 16;
    text.resize(size + want);
    const size_t got = std::fread(text.data() + size, 1, want, f.get());
    const size_t base = size;
    size += got;
    text.resize(size);
    if (got == 0) break;
    progress_tick();
    if (const void* nul = std::memchr(text.data() + base, 0, got)) {
      const size_t at = static_cast<size_t>(static_cast<const char*>(nul) - text.data());
      throw Error("file " + shown_name(fname) + ", line " + std::to_string(line_of(text, at)) +
                  ": holds the byte " + hex_byte(first_binary_byte(text, at)) +
                  ", which is not text; the file must be plain text, one configuration per line");
    }
    for (size_t i = size; i > base; --i)
      if (text[i - 1] == '\n' || text[i - 1] == '\r') {
        line_start = i;
        break;
      }
    if (size - line_start > kLongestLine)
      throw Error("file " + shown_name(fname) + ", line " +
                  std::to_string(line_of(text, line_start)) + ": the line is longer than " +
                  std::to_string(kLongestLine >> 20) +
                  " MB; is this a text file of configurations, one per line?");
  }
  return text;
}

}  // namespace tav
