#include "platform/parse.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace tav {
namespace {
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Whether a token that from_chars found out of range is too large (rather than too small):
// its decimal order, from the digits before the point and the exponent, is positive.
bool order_is_positive(std::string_view t) {
  size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  long order = 0;
  bool seen_nonzero = false, after_point = false;
  for (; i < t.size() && (is_digit(t[i]) || t[i] == '.'); ++i) {
    if (t[i] == '.') {
      after_point = true;
      continue;
    }
    if (!seen_nonzero && t[i] == '0') {
      if (after_point) --order;
      continue;
    }
    if (!seen_nonzero) {
      seen_nonzero = true;
      if (after_point) --order;
      continue;
    }
    if (!after_point) ++order;
  }
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    const bool negative = i < t.size() && t[i] == '-';
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
    long e = 0;
    for (; i < t.size() && is_digit(t[i]); ++i) e = std::min(e * 10 + (t[i] - '0'), 100000L);
    order += negative ? -e : e;
  }
  return order > 0;
}

// Position of the first byte that no text file holds (a control character or a NUL), or npos.
size_t not_text(std::string_view token) {
  for (size_t i = 0; i < token.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(token[i]);
    if (c < 32 || c == 127) return i;
  }
  return std::string_view::npos;
}

std::string hex_byte(char c) {
  static const char* digits = "0123456789ABCDEF";
  const unsigned char b = static_cast<unsigned char>(c);
  return std::string("0x") + digits[b >> 4] + digits[b & 15];
}
}  // namespace

ParsedNumber parse_number_token(std::string_view token) {
  std::string_view t = token;
  // from_chars takes no '+'; a sign after it ("+-1") stays an error.
  if (t.size() > 1 && t[0] == '+' && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
  ParsedNumber r;
  const char* end = t.data() + t.size();
  const auto [ptr, ec] = std::from_chars(t.data(), end, r.value);
  if (t.empty() || ptr != end || ec == std::errc::invalid_argument)
    return {NumberRead::NotANumber, 0};
  if (ec == std::errc::result_out_of_range) {
    if (order_is_positive(t)) return {NumberRead::TooLarge, 0};
    return {NumberRead::Ok, 0.0};
  }
  if (!std::isfinite(r.value)) return {NumberRead::NotFinite, 0};
  r.status = NumberRead::Ok;
  return r;
}

std::string shown_token(std::string_view token) {
  std::string s;
  for (unsigned char c : token.substr(0, 40))
    s += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  return "\"" + s + (token.size() > 40 ? "...\"" : "\"");
}

Row parse_numbers(const std::string& line) {
  std::vector<double> values;
  for (size_t pos = 0;;) {
    const std::string_view token = next_token(line, pos, is_field_separator);
    if (token.empty()) break;
    const std::string which =
        "value " + std::to_string(values.size() + 1) + " " + shown_token(token);
    const size_t byte = not_text(token);
    if (byte != std::string_view::npos)
      throw Error(which + " holds the byte " + hex_byte(token[byte]) +
                  ", which is not text; the file must be plain text, one configuration per line");
    const ParsedNumber n = parse_number_token(token);
    if (n.status == NumberRead::NotANumber) throw Error(which + " is not a number");
    if (n.status == NumberRead::TooLarge) throw Error(which + " is beyond the range of a double");
    if (n.status == NumberRead::NotFinite) throw Error(which + " is not a finite number");
    values.push_back(n.value);
  }
  Row r(static_cast<Index>(values.size()));
  for (size_t k = 0; k < values.size(); ++k) r(static_cast<Index>(k)) = values[k];
  return r;
}

}  // namespace tav
