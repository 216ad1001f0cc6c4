#include "platform/error.h"

namespace tav {
namespace {
std::string& last_text() {
  static std::string text;
  return text;
}
}  // namespace

const std::string& last_error() { return last_text(); }
void set_last_error(const std::string& text) { last_text() = text; }

}  // namespace tav
