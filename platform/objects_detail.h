#pragma once
// Shared by the source files of the graphics object model (objects.cpp and the parts beside it
// that define the rest of Objects); callers use platform/objects.h.
#include <string>

#include "platform/format.h"
#include "platform/objects.h"

namespace tav::objects_detail {

// "Type" of each ObjectType, in the enum's order.
inline constexpr const char* kKindNames[] = {"",     "root", "figure",    "axes",
                                             "line", "text", "uicontrol", "uipanel"};

// A handle as error texts show it (a figure's number, or 1000001.5 and so on).
inline std::string handle_text(Handle h) { return g_text(h, 10); }

}  // namespace tav::objects_detail
