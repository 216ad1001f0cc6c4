#pragma once
// The window controls the actions read and write, found by their tag.
#include <string>

#include "platform/objects.h"

namespace tav {

struct Session;

// "Value" of the control tagged `tag`; Error when the window has no such control.
double control_value(Session& session, const std::string& tag);
bool control_on(Session& session, const std::string& tag);  // non-empty and non-zero
// Sets the "String" of the status text tagged `tag`, formatted (\n becomes a line break);
// does nothing when no window with that control is open.
void set_status(Session& session, const std::string& tag, const std::string& text);
// FileBox: the sample's file and the format it was read in, its specimens and points (with
// the kinds the protocol gives them), any unread lines, and the user reference beside it.
void show_file_status(Session& session);
// The status line's account of the last step (how a run ended, what a save wrote), shown when
// no run is in progress, and the same line on the console (the log).
void set_status_note(Session& session, const std::string& text);
// The current figure's pointer: "watch" while a run works, "arrow" after.
void set_pointer(Session& session, const std::string& pointer);
// Shows a message box and writes the same text on the console.
void tell_user(Session& session, const std::string& text);

}  // namespace tav

namespace tav {

// A window without a screen: a figure with axes and every control the actions read, all off
// and empty (the batch tool and the tests run the actions on it).
Handle make_headless_window(Objects& g);

}  // namespace tav
