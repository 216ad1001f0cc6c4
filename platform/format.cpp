#include "platform/format.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tav {
namespace {

// The arguments' elements in order: numbers one by one, a text as one element.
struct Item {
  bool is_text = false;
  double number = 0;
  std::string text;
};

std::vector<Item> flatten(const std::vector<Value>& args) {
  std::vector<Item> items;
  for (const Value& a : args) {
    if (a.is_text()) {
      items.push_back({true, 0, a.text()});
    } else if (a.is_matrix()) {
      const Matrix& m = a.matrix();
      for (Index i = 0; i < m.size(); ++i) items.push_back({false, m.data()[i], {}});
    } else {
      throw Error("sprintf: cannot format " + describe(a));
    }
  }
  return items;
}

std::string unescape(const std::string& f) {
  std::string out;
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] == '\\' && i + 1 < f.size()) {
      const char c = f[i + 1];
      if (c == 'n') {
        out += '\n';
        ++i;
        continue;
      }
      if (c == 't') {
        out += '\t';
        ++i;
        continue;
      }
      if (c == '\\') {
        out += '\\';
        ++i;
        continue;
      }
    }
    out += f[i];
  }
  return out;
}

struct Spec {
  std::string flags_width;  // "-5", "3", ...
  int precision = -1;
  char conv = 0;
};

// A number as printf writes it in the C locale ("%g", "%e", "%f" with flags, width and
// precision), built with std::to_chars so that no locale's decimal comma ever reaches a file.
std::string c_number(const std::string& flags_width, int prec, char conv, double v) {
  bool left = false, plus = false, space = false, zero = false;
  size_t i = 0;
  for (; i < flags_width.size() && std::string("-+ 0#").find(flags_width[i]) != std::string::npos;
       ++i) {
    left |= flags_width[i] == '-';
    plus |= flags_width[i] == '+';
    space |= flags_width[i] == ' ';
    zero |= flags_width[i] == '0';
  }
  const size_t width = i < flags_width.size() ? std::stoul(flags_width.substr(i)) : 0;
  const bool upper = conv == 'G' || conv == 'E' || conv == 'F';
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(conv)));
  std::string body;
  if (std::isnan(v)) {
    body = std::signbit(v) ? "-nan" : "nan";
  } else if (std::isinf(v)) {
    body = v < 0 ? "-inf" : "inf";
  } else {
    if (prec < 0) prec = 6;
    if (lower == 'g' && prec == 0) prec = 1;
    const std::chars_format f = lower == 'f'   ? std::chars_format::fixed
                                : lower == 'e' ? std::chars_format::scientific
                                               : std::chars_format::general;
    std::vector<char> buf(static_cast<size_t>(prec) + 400);
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, f, prec);
    body.assign(buf.data(), res.ptr);
  }
  if (upper)
    for (char& c : body) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (body[0] != '-' && (plus || space)) body.insert(body.begin(), plus ? '+' : ' ');
  if (body.size() >= width) return body;
  const size_t pad = width - body.size();
  if (left) return body + std::string(pad, ' ');
  if (zero && std::isfinite(v)) {
    const size_t sign = (body[0] == '-' || body[0] == '+' || body[0] == ' ') ? 1 : 0;
    return body.insert(sign, pad, '0');
  }
  return std::string(pad, ' ') + body;
}

std::string format_number(const Spec& s, double v, int g_digits) {
  char conv = s.conv;
  int prec = s.precision;
  if ((conv == 'i' || conv == 'd' || conv == 'u') && v != std::floor(v)) {
    conv = 'e';  // a non-integer under an integer conversion is shown in full
  }
  if (conv == 'i' || conv == 'd' || conv == 'u') {
    if (!std::isfinite(v)) return c_number(s.flags_width, -1, 'f', v);
    return c_number(s.flags_width, 0, 'f', v);
  }
  if (conv == 'g' || conv == 'G') {
    if (prec < 0) prec = g_digits;
  }
  if (std::string("gGeEfF").find(conv) == std::string::npos) conv = 'g';
  return c_number(s.flags_width, prec, conv, v);
}

std::string format_text(const Spec& s, const Item& it) {
  if (s.conv == 's') {
    std::string t = it.is_text ? it.text : short_number_text(it.number);
    if (s.precision >= 0 && static_cast<int>(t.size()) > s.precision) t.resize(s.precision);
    std::string f = "%" + s.flags_width + "s";
    std::vector<char> buf(t.size() + 256);
    std::snprintf(buf.data(), buf.size(), f.c_str(), t.c_str());
    return buf.data();
  }
  // A text under a numeric conversion: written as the text.
  return it.text;
}

}  // namespace

std::string short_number_text(double v) {
  if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) return c_number("", 0, 'f', v);
  return c_number("", 5, 'g', v);
}

std::string g_text(double v, int digits) { return c_number("", digits, 'g', v); }

std::string sprintf_m(const std::string& format, const std::vector<Value>& args, int g_digits) {
  const std::string f = unescape(format);
  const std::vector<Item> items = flatten(args);
  std::string out;
  size_t next = 0;
  bool any_conversion = false;
  do {
    for (size_t i = 0; i < f.size(); ++i) {
      if (f[i] != '%') {
        out += f[i];
        continue;
      }
      if (i + 1 < f.size() && f[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      Spec s;
      size_t j = i + 1;
      while (j < f.size() && std::string("-+ 0#").find(f[j]) != std::string::npos)
        s.flags_width += f[j++];
      while (j < f.size() && std::isdigit(static_cast<unsigned char>(f[j])))
        s.flags_width += f[j++];
      if (j < f.size() && f[j] == '.') {
        ++j;
        int p = 0;
        while (j < f.size() && std::isdigit(static_cast<unsigned char>(f[j])))
          p = p * 10 + (f[j++] - '0');
        s.precision = p;
      }
      if (j >= f.size()) {
        out += f.substr(i);
        break;
      }
      s.conv = f[j];
      any_conversion = true;
      if (next >= items.size()) {
        // Arguments used up: the format stops at the first conversion without an argument.
        if (!items.empty() || next > 0) return out;
        i = j;
        continue;
      }
      const Item& it = items[next++];
      if (s.conv == 's' || it.is_text)
        out += format_text(s, it);
      else
        out += format_number(s, it.number, g_digits);
      i = j;
    }
  } while (any_conversion && next < items.size() && next > 0);
  return out;
}

}  // namespace tav
