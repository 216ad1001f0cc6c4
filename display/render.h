#pragma once
// The one renderer: paints an axes object and its children (point markers, dotted lines,
// texts) with cairo, for the window and for every export format alike.
#include <cairo.h>

#include <string>

#include "platform/objects.h"

namespace tav {

// Paints `axes` of `g` into the rectangle (x, y, width, height) of a cairo surface, in device
// units (pixels for the window and PNG, points for EPS/PDF/SVG). With "equal" data aspect the
// visible ranges grow about their centres so one data unit is equally long on both axes.
void render_axes(cairo_t* cr, const Objects& g, Handle axes, double x, double y, double width,
                 double height);

// Writes the figure's axes (controls left out) to `path`, in the format its ending names:
// .eps/.ps (Encapsulated PostScript), .pdf, .svg, .png; anything else is EPS. Raises Error
// naming the file when it cannot be written.
void export_figure(const Objects& g, Handle figure, const std::string& path);

}  // namespace tav
