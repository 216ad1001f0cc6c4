#include "formats/foreign_text.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>

#include "geometry/geometry.h"
#include "platform/error.h"
#include "platform/parse.h"

namespace tav::foreign {

std::string file_text(const std::string& fname) {
  std::ifstream in(fname, std::ios::binary);
  if (!in) throw Error("cannot open " + fname + "; check the name and the permissions");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::optional<double> number(std::string_view token) {
  const ParsedNumber n = parse_number_token(token);
  if (n.status != NumberRead::Ok) return std::nullopt;
  return n.value;
}

std::string number_text(double v, int digits) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits);
  return std::string(buf, r.ptr);
}

std::string shown(std::string_view token) {
  std::string s;
  for (unsigned char c : token.substr(0, 40))
    s += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  return "\"" + s + (token.size() > 40 ? "...\"" : "\"");
}

Row centroid_sizes(const Matrix& x) {
  const Index k = (x.cols() - 1) / 2;
  return centroid_size(x.leftCols(2 * k)).transpose();
}

}  // namespace tav::foreign
