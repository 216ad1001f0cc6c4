#pragma once
// The legend of a drawing: one entry per kind of point drawn (landmarks, semi-landmarks,
// helper points, the sample, the consensus), each shown with the marker its points are drawn
// with. The renderer paints it in the axes' top right corner unless the axes' "Legend" is "off".
#include <string>
#include <utility>
#include <vector>

#include "platform/objects.h"

namespace tav {

// Names the newest line of the current axes as the legend's sample of `name`: the points just
// drawn are of that kind. Does nothing when the axes hold no line.
void label_last_line(Objects& g, const std::string& name);

// The legend of `axes`: per name, in the order first labelled, a line drawn with it (whose
// marker, colours and size the legend shows). Lines removed since (a cleared axes) drop out.
std::vector<std::pair<std::string, Handle>> legend_entries(const Objects& g, Handle axes);

// Shows (on) or hides the legend of every axes of every window, and sets the
// "Legend" property new axes of the comparison window take over from the main window's.
void showlegend(Objects& g, bool on);

}  // namespace tav
