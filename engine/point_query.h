#pragma once
// Questions a window user asks of the drawing in the main axes, answered from the engine's
// data (the configurations shown and the protocol), not from the drawn objects.
#include <optional>
#include <string>

#include "platform/matrix.h"

namespace tav {

struct EngineState;
struct Session;

struct ShownPoint {
  Index specimen = 0;  // 1-based row of the sample; 0 for a consensus
  int point = 0;       // 1-based point number
  int kind = -1;       // 0 landmark, 1 semi-landmark, 2 helper; -1 before any protocol
  double x = 0, y = 0;
};

// The shown point nearest (x, y) among those within the ellipse of radii rx, ry around it
// (data units), or none; helper points the drawing leaves out are not among them. Rows are
// searched in order, points in order; the first of equally near points wins.
std::optional<ShownPoint> nearest_shown_point(const EngineState& s, double x, double y, double rx,
                                              double ry);

// "point 12, semi-landmark, specimen 7 (line 7 of shells.txt, ID=a12)" or "point 3, landmark,
// consensus".
std::string describe_point(const EngineState& s, const ShownPoint& p);

// Draws specimen `specimen` (1-based row of the shown sample) over the drawing: its points
// ringed and its outline (each curve of the protocol through its members in order, closed
// curves closed; without a protocol, every point in order) in a colour of its own, replacing
// an earlier highlight. 0, or a consensus shown, only removes the earlier highlight.
void highlight_specimen(Session& session, Index specimen);

// The window's two questions in one call each: the description of the shown point nearest
// (x, y) within radii rx, ry ("" when none), and highlighting the specimen of that point (or
// removing the highlight when there is none).
std::string describe_shown_point(const Session& session, double x, double y, double rx, double ry);
void highlight_shown_point(Session& session, double x, double y, double rx, double ry);

}  // namespace tav
