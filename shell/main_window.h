#pragma once
#include "platform/backend.h"
#include "platform/objects.h"

namespace tav {

// Opens the main window from the figure file tavrel6.fig with the policy "reuse" (an open one
// is brought forward), gives it the controls' background colour, builds the handle structure
// of its tagged objects and stores it as the window's data, all in the graphics runtime `rt`.
// Returns the figure's handle.
Handle open_main_window(Runtime& rt);

}  // namespace tav
