#pragma once
// Drawing of configurations, their curve protocol and their sliding tangents into the current
// axes of the current figure of the object model given; restyling of the drawn markers; export of
// the drawing.
#include <string>

#include "consensus/curve_protocol.h"
#include "platform/objects.h"

namespace tav {

class Backend;

// Marks every point of every configuration row of x (x1 y1 ... xk yk + trailing value) with
// the line specification xform and marker size 3: (n-1)/2 points per row of n columns, rows in
// order, so later rows lie on top. A style without a line ("b*") draws all of them as one line
// object of markers only, in that order; a style with a line ("r-*") draws each point as a line
// object of its own, so no line joins them. Sets hold on, then fits the limits ("auto") and
// sets equal scaling. Returns 1. A bad xform raises Error.
int draw_configurations(Objects& g, const Matrix& x, const std::string& xform = "k.");

// The colours draw_protocol marks the points in: their own only, or their own and then again
// in the comparison colours (a configuration compared with another in the same axes).
enum class ColourCode { own = 0, compared = 1 };

// Draws x (one or more configuration rows) in the light of the protocol: per curve code from
// numfull to numopen, landmarks "ko", semi-landmarks "bd", helpers "rs" (each drawn a second
// time in "mo", "gd", "ys" with ColourCode::compared), then, with xlines and when the curve is
// not curve 0, a "k:" line through the mean configuration (closed curves return to their first
// member). Helpers are marked unless omithelpers. Working values go to the console. Returns 0.
// A point number beyond the configuration raises Error, leaving what was drawn so far.
int draw_protocol(Objects& g, const Matrix& x, const CurveProtocol& p, bool xlines = false,
                  bool omithelpers = false, ColourCode ccode = ColourCode::own);

// Draws a solid orange segment centred on each member of every curve other than curve 0,
// along the curve's tangent there (closed curves wrap), 0.9 times the mean spacing of the
// curve's members long. x: one configuration row.
void draw_tangents_of(Objects& g, const Row& x, const CurveProtocol& p);

// Adds increment to the "MarkerSize" of every line among the direct children of h; a size
// that would fall below 1 stays as it is.
void grow_markers(Objects& g, Handle h, double increment);
// Fills every line marker among the direct children of h with its own colour (isfilled) or
// empties it.
void fill_markers(Objects& g, Handle h, bool isfilled);

// Copies the current figure's drawing as the view shows it, enlarged, to the clipboard as SVG
// and PNG; the view's limits stay.
void copy_drawing_to_clipboard(Objects& g, Backend& ui);
// Writes the current figure's drawing as the view shows it, enlarged, to a file the user
// names: EPS, PDF, SVG or PNG by the name's ending; any other name is refused with a message.
void export_drawing_to_chosen_file(Objects& g, Backend& ui);

}  // namespace tav
