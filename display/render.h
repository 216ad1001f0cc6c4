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
// rectangle. With "equal" data aspect the visible ranges grow about their centres so one data
// unit is equally long on both axes.
void render_axes(cairo_t* cr, const Objects& g, Handle axes, double x, double y, double width,
                 double height);

// Paints the figure's axes (controls left out) on a white page of the figure's size in pixels,
// top-left origin; parts of an axes beyond the figure are cut off.
void render_figure(cairo_t* cr, const Objects& g, Handle figure);

// The figure's size in pixels (width, height).
struct PixelSize {
  double width = 0, height = 0;
};
PixelSize figure_size_px(const Objects& g, Handle figure);

// Writes the figure's axes (controls left out) to `path`, in the format its ending names
// (any case): .eps/.ps (Encapsulated PostScript), .pdf, .svg, .png (kPngScale times the
// window's resolution); anything else is EPS. The picture goes to a temporary file in the same
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
