#pragma once
// The one renderer: paints an axes object and its children (point markers, dotted lines,
// texts) with cairo, for the window and for every export format alike.
#include <cairo.h>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/objects.h"

namespace tav {

// Resolution of exported and copied PNG pictures, relative to the window (96 per inch).
constexpr double kPngScale = 3.0;

// Paints `axes` of `g` into the rectangle (x, y, width, height) of the cairo user space, top-left
// origin, in pixels at 96 per inch (exports scale the context, so the same numbers serve every
// format); marker sizes and fonts are in points. Tick labels lie left of and below the
// rectangle. With "equal" data aspect the box shrinks along one side, centred in the
// rectangle, so one data unit is equally long on both axes; the limits stay. A text's
// "PixelOffset" [dx dy] shifts it by pixels (dy upwards) from its data position.
void render_axes(cairo_t* cr, const Objects& g, Handle axes, double x, double y, double width,
                 double height);

// The name of the colour a colour letter ('r', 'g', ...) is painted in ("orange" for 'r'), for
// titles that speak of colours. Raises Error for a letter that names no colour.
std::string painted_colour_name(char letter);

// Where an axes' data land in the rectangle render_axes paints it into: the same box, so a
// window can turn a pointer position into data coordinates (zoom, pan, questions).
struct AxesBox {
  double x0 = 0, x1 = 1, y0 = 0, y1 = 1;            // the limits
  double left = 0, top = 0, width = 1, height = 1;  // the box, top-left origin, pixels
  bool usable = false;
  double data_x(double px) const { return x0 + (px - left) / width * (x1 - x0); }
  double data_y(double py) const { return y0 + (top + height - py) / height * (y1 - y0); }
  double pixels_per_unit_x() const { return width / (x1 - x0); }
  double pixels_per_unit_y() const { return height / (y1 - y0); }
};
AxesBox axes_box(const Objects& g, Handle axes, double x, double y, double width, double height);

// The page a figure is exported on, in pixels: the window's size, widened (or heightened) to
// hold whole any axes that reaches past the window's right (or top) edge, as the enlarged
// axes of an export do, so no part of the drawing is cut off.
struct PixelSize {
  double width = 0, height = 0;
};
PixelSize page_size_px(const Objects& g, Handle figure);

// Paints the figure's axes (controls left out) on a white page of page_size_px, top-left origin.
void render_figure(cairo_t* cr, const Objects& g, Handle figure);

// Writes the figure's axes (controls left out) to `path`, in the format its ending names
// (any case): .eps/.ps (Encapsulated PostScript), .pdf, .svg, .png (kPngScale times the
// window's resolution); any other ending, or none, raises Error naming the file and the
// endings written, before anything is written. The picture goes to a temporary file in the same
// folder that replaces `path` only when complete, so a failure never leaves a half-written
// file. Raises Error naming the file when it cannot be written.
void export_figure(const Objects& g, Handle figure, const std::string& path);

// The figure rendered in memory, for the clipboard: SVG text and PNG bytes (kPngScale).
struct FigureImages {
  std::string svg;
  std::vector<std::uint8_t> png;
};
FigureImages render_figure_images(const Objects& g, Handle figure);

}  // namespace tav
