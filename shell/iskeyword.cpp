#include <array>

#include "shell/framework.h"

namespace tav {
namespace {
constexpr std::array<const char*, 17> kKeywords = {
    "break",  "case", "catch",     "continue",   "else",   "elseif", "end", "for",  "function",
    "global", "if",   "otherwise", "persistent", "return", "switch", "try", "while"};
}  // namespace

bool iskeyword(const std::string& s) {
  for (const char* k : kKeywords)
    if (s == k) return true;
  return false;
}

List iskeyword() {
  List out;
  for (const char* k : kKeywords) out.emplace_back(k);
  return out;
}

}  // namespace tav
