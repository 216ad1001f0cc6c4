#pragma once
#include "platform/objects.h"
#include "platform/value.h"

namespace tav {

struct Session;

// Makes the window's controls reach the program (the session's): a control's "Callback" is a list,
// the name of a function followed by its inputs, where the text "$axes" stands for the window's
// axes and "$figure" for the window. The control's window becomes the current figure first, so the
// action draws there. The call goes through tavrel6's protected routing.
void install_callback_runner(Session& session);
List resolve_callback_inputs(Objects& gr, Handle source, const Value& callback);

}  // namespace tav
