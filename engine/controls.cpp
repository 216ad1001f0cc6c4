#include "engine/controls.h"

#include "engine/session.h"
#include "platform/console.h"

namespace tav {
namespace {
Handle find_control(const Objects& g, const std::string& tag) {
  const auto found = g.find_by_tag(tag);
  if (found.empty())
    throw Error("the main window has no control tagged " + tag + "; open the window (tavrel6)");
  return found.front();
}
}  // namespace

double control_value(Session& session, const std::string& tag) {
  const Value v = session.objects().get(find_control(session.objects(), tag), "Value");
  if (v.is_matrix() && v.matrix().size() == 0) return 0;
  return v.scalar();
}

bool control_on(Session& session, const std::string& tag) {
  const Value v = session.objects().get(find_control(session.objects(), tag), "Value");
  return v.truthy();
}

void set_status(Session& session, const std::string& tag, const std::string& text) {
  Objects& g = session.objects();
  for (Handle h : g.find_by_tag(tag)) g.set(h, "String", Value(text));
}

void set_status_note(Session& session, const std::string& text) {
  Objects& g = session.objects();
  // The main window is the one holding the status boxes.
  for (Handle h : g.find_by_tag("FileBox")) g.set(g.parent(h), "StatusNote", Value(text));
  console_write(text + "\n");
  session.ui().say(text);
}

void set_pointer(Session& session, const std::string& pointer) {
  Objects& g = session.objects();
  if (g.has_current_figure()) g.set(g.gcf(), "Pointer", Value(pointer));
}

void tell_user(Session& session, const std::string& text) {
  console_write(text + "\n");
  session.ui().message(text);
}

Handle make_headless_window(Objects& g) {
  const Handle fig = g.create("figure", 0);
  g.create("axes", fig);
  for (const char* tag :
       {"FileBox", "ProtoBox", "IterBox", "DistanceBox", "NoAlignButton", "CurveButton",
        "NumberButton", "TavrelButton", "MeanButton", "OriginalButton"}) {
    const Handle h = g.create("uicontrol", fig);
    g.set(h, "Tag", Value(tag));
  }
  return fig;
}

}  // namespace tav
