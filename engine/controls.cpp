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

namespace tav {
namespace {
bool action_done = false;
}

Handle make_headless_window() {
  const Handle fig = gr().create("figure", 0);
  gr().create("axes", fig);
  for (const char* tag : {"FileBox", "ProtoBox", "IterBox", "DistanceBox", "NoAlignButton",
                          "CurveButton", "NumberButton", "TavrelButton", "MeanButton", "OriginalButton"}) {
    const Handle h = gr().create("uicontrol", fig);
    gr().set(h, "Tag", Value(tag));
  }
  return fig;
}

void mark_action_done() { action_done = true; }
void reset_action_done() { action_done = false; }
bool last_action_done() { return action_done; }

}  // namespace tav
