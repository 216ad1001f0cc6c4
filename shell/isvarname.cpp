#include <cctype>

#include "shell/framework.h"

namespace tav {
namespace {
// Longest name a field may have.
constexpr size_t kMaxNameLength = 31;

bool is_letter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool isvarname(const Value& s) {
  if (!s.is_text()) return false;
  const std::string& name = s.text();
  // A text holding a line break has more than one row.
  if (name.empty() || name.size() > kMaxNameLength || name.find('\n') != std::string::npos)
    return false;
  if (!is_letter(name.front())) return false;
  for (char c : name)
    if (!is_letter(c) && !is_digit(c) && c != '_') return false;
  return !iskeyword(name);
}

}  // namespace tav
