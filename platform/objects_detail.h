#pragma once
// Shared by the source files of the graphics object model (objects.cpp and the parts beside it
// that define the rest of Objects); callers use platform/objects.h.
#include <cctype>
#include <string>

#include "platform/format.h"
#include "platform/objects.h"

namespace tav::objects_detail {

// "Type" of each ObjectType, in the enum's order.
inline constexpr const char* kKindNames[] = {"", "root", "figure", "axes", "line", "text", "uicontrol", "uipanel"};

inline std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A handle as error texts show it: "1000001.5" under any locale, as the user types it back.
inline std::string handle_text(Handle h) { return sprintf_m("%.10g", {Value(h)}); }

}  // namespace tav::objects_detail
