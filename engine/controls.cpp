#include "engine/controls.h"

#include "engine/session.h"
#include "platform/console.h"
#include "platform/format.h"

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

namespace {

// The sample's points: every one a landmark until a protocol says otherwise; with a protocol
// kept from before, the kinds it gives them.
std::string points_text(const EngineState& s) {
  const Protocol& p = s.protocol;
  if (!p.has_curves) return sprintf_m("%3.0f Landmarks", {Value(double(s.loaded.points()))});
  return sprintf_m("%3.0f Points: %i Landmarks, %i Semi-Landmarks, %i Helpers",
                   {Value(double(s.loaded.points())), Value(double(p.landmarks)),
                    Value(double(p.semilandmarks)), Value(double(p.helpers))});
}

}  // namespace

void show_file_status(Session& session) {
  const EngineState& s = session.state;
  const Sample& sample = s.loaded;
  std::string text = sprintf_m("File: %s \\n %3.0f Specimens \\n ",
                               {Value(sample.file + " as " + sample.format),
                                Value(static_cast<double>(sample.specimens()))}) +
                     points_text(s);
  if (sample.unread_lines != 0)
    text += "\n " + std::to_string(sample.unread_lines) + " lines after the end line unread";
  if (s.user_reference) text += "\n Reference: " + s.reference_file + " as " + s.reference_format;
  set_status(session, "FileBox", text);
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
