#pragma once
#include <vector>

#include "platform/objects.h"

namespace tav {

// The direct children of h, as its "Children" property lists them, whose "Type" starts with
// the letter "l" (line objects: point markers, curve lines, tangent segments).
std::vector<Handle> line_children(const Objects& g, Handle h);

}  // namespace tav
