#include "platform/console.h"

#include <iostream>

#include "platform/format.h"

namespace tav {
namespace {
thread_local std::ostream* current = nullptr;

std::string number_row(const Matrix& m, Index r, int digits) {
  std::string s;
  for (Index c = 0; c < m.cols(); ++c) s += (c ? " " : "") + g_text(m(r, c), digits);
  return s;
}
}  // namespace

std::ostream& console() { return current ? *current : std::cout; }

std::ostream* set_console(std::ostream* out) {
  std::ostream* old = current;
  current = out;
  return old;
}

void console_write(const std::string& text) {
  console() << text;
  console().flush();
}

std::string show_text(const std::string& name, const Value& v, int digits) {
  if (v.is_text()) return name + " = '" + v.text() + "'\n";
  if (v.is_list()) {
    std::string s = name + " = {list of " + std::to_string(v.list().size()) + "}\n";
    for (size_t i = 0; i < v.list().size(); ++i)
      s += "  " + show_text(name + "{" + std::to_string(i + 1) + "}", v.list()[i], digits);
    return s;
  }
  if (v.is_struct()) {
    std::string s = name + " = {structure}\n";
    for (const Field& f : v.fields()) s += "  " + show_text(f.name, f.value, digits);
    return s;
  }
  const Matrix& m = v.matrix();
  if (m.size() == 0) return name + " = []\n";
  if (m.size() == 1) return name + " = " + g_text(m(0, 0), digits) + "\n";
  if (m.rows() == 1) return name + " = [" + number_row(m, 0, digits) + "]\n";
  std::string s = name + " =\n";
  for (Index r = 0; r < m.rows(); ++r) s += "    " + number_row(m, r, digits) + "\n";
  return s;
}

void console_show(const std::string& name, const Value& v, int digits) {
  console_write(show_text(name, v, digits));
}

}  // namespace tav
