#pragma once
// Shared by the source files of the graphics object model (objects.cpp and the parts beside it
// that define the rest of Objects); callers use platform/objects.h.
#include <cctype>
#include <cstdio>
#include <string>

#include "platform/objects.h"

namespace tav::objects_detail {

// "Type" of each ObjectType, in the enum's order.
inline constexpr const char* kKindNames[] = {"", "root", "figure", "axes", "line", "text", "uicontrol", "uipanel"};

inline std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// A handle as error texts show it.
inline std::string handle_text(Handle h) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", h);
  return buf;
}

}  // namespace tav::objects_detail
