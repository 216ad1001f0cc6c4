#include "platform/shown_name.h"

namespace tav {

std::string shown_name(const std::string& path) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (const char c : path) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b >= 32 && b != 127) {
      out += c;  // printable ASCII and the bytes of UTF-8 names
      continue;
    }
    out += "\\x";
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

}  // namespace tav
