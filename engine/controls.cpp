#include "engine/controls.h"

#include "platform/backend.h"
#include "platform/console.h"

namespace tav {
namespace {
Handle find_control(const std::string& tag) {
  const auto found = gr().find_by_tag(tag);
  if (found.empty())
    throw Error("the main window has no control tagged " + tag + "; open the window (tavrel6)");
  return found.front();
}
}  // namespace

double control_value(const std::string& tag) {
  const Value v = gr().get(find_control(tag), "Value");
  if (v.is_matrix() && v.matrix().size() == 0) return 0;
  return v.scalar();
}

bool control_on(const std::string& tag) {
  const Value v = gr().get(find_control(tag), "Value");
  return v.truthy();
}

void set_status(const std::string& tag, const std::string& text) {
  for (Handle h : gr().find_by_tag(tag)) gr().set(h, "String", Value(text));
}

void set_pointer(const std::string& pointer) {
  if (gr().has_current_figure()) gr().set(gr().gcf(), "Pointer", Value(pointer));
}

void tell_user(const std::string& text) {
  console_write(text + "\n");
  ui().message(text);
}

}  // namespace tav
