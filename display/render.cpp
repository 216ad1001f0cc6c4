#include "display/render.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "display/legend.h"
#include "display/marker_stamps.h"
#include "platform/format.h"

namespace tav {
namespace {

constexpr double kPxPerPt = 96.0 / 72.0;
constexpr double kLineWidthPt = 0.5;  // lines, marker edges and the axes box
constexpr double kTickLabelPt = 9.0;
constexpr double kTextPt = 10.0;  // texts in the drawing, such as point numbers
constexpr double kTickPx = 5.0;
constexpr double kTickSpacingPx = 70.0;  // about one tick label per this many pixels
constexpr double kPageMarginPx = 8.0;    // beyond an axes that reaches past the window
// A line object with this many markers or more is painted into images by copying one marker.
constexpr Index kStampedFrom = 64;

struct Rgb {
  double r = 0, g = 0, b = 0;
};

std::string text_or(const Value& v, const std::string& fallback) {
  return v.is_text() ? v.text() : fallback;
}

double number_or(const Value& v, double fallback) {
  return v.is_matrix() && v.matrix().size() == 1 && std::isfinite(v.scalar()) ? v.scalar()
                                                                              : fallback;
}

// The letter colours as painted: Okabe and Ito's palette, which viewers with red-green colour
// blindness tell apart, each hue at another lightness so that greyscale print keeps them apart
// too (black, blue, green, purple, orange, sky blue, yellow from dark to light). Other colours
// are painted as given.
struct Painted {
  char letter;
  Rgb shown;
  const char* name;  // as the palette names it
};
constexpr Painted kPalette[] = {{'b', {0, 0.447, 0.698}, "blue"},
                                {'g', {0, 0.620, 0.451}, "bluish green"},
                                {'r', {0.902, 0.624, 0}, "orange"},
                                {'c', {0.337, 0.706, 0.914}, "sky blue"},
                                {'m', {0.800, 0.475, 0.655}, "reddish purple"},
                                {'y', {0.941, 0.894, 0.259}, "yellow"},
                                {'k', {0, 0, 0}, "black"},
                                {'w', {1, 1, 1}, "white"}};

Rgb painted(const Rgb& c) {
  for (const auto& [letter, shown, name] : kPalette) {
    const Eigen::RowVector3d l = color_of_letter(letter);
    if (l(0) == c.r && l(1) == c.g && l(2) == c.b) return shown;
  }
  return c;
}

// A colour property: an RGB row, a colour letter, or "none" (nothing); as painted.
std::optional<Rgb> color_value(const Value& v) {
  if (v.is_matrix() && v.matrix().size() == 3) {
    const double* d = v.matrix().data();
    return painted(Rgb{d[0], d[1], d[2]});
  }
  if (v.is_text() && v.text().size() == 1) {
    try {
      const Eigen::RowVector3d c = color_of_letter(v.text()[0]);
      return painted(Rgb{c(0), c(1), c(2)});
    } catch (const Error&) {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void set_color(cairo_t* cr, const Rgb& c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

// The visible data ranges and the rectangle they map to.
struct View {
  double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
  double left = 0, top = 0, width = 1, height = 1;
  double px(double x) const { return left + (x - x0) / (x1 - x0) * width; }
  double py(double y) const { return top + height - (y - y0) / (y1 - y0) * height; }
  bool usable() const {
    return x1 > x0 && y1 > y0 && std::isfinite(x1 - x0) && std::isfinite(y1 - y0) && width > 0 &&
           height > 0;
  }
};

// With equal data aspect the box shrinks along one side, centred in the rectangle, so one
// data unit is equally long on both axes; the limits stay as they are.
View make_view(const Objects& g, Handle axes, double x, double y, double w, double h) {
  View v;
  v.left = x, v.top = y, v.width = w, v.height = h;
  const Row lim = g.axis(axes);
  v.x0 = lim(0), v.x1 = lim(1), v.y0 = lim(2), v.y1 = lim(3);
  if (lower_case(text_or(g.get(axes, Prop::dataaspectratiomode), "auto")) == "manual" &&
      v.usable()) {
    const double scale = std::min(w / (v.x1 - v.x0), h / (v.y1 - v.y0));
    v.width = scale * (v.x1 - v.x0), v.height = scale * (v.y1 - v.y0);
    v.left += 0.5 * (w - v.width), v.top += 0.5 * (h - v.height);
  }
  return v;
}

// Tick positions at a step of 1, 2 or 5 times a power of ten, about one per kTickSpacingPx.
std::vector<double> ticks(double lo, double hi, double length_px) {
  const double wanted = std::clamp(length_px / kTickSpacingPx, 2.0, 10.0);
  const double raw = (hi - lo) / wanted;
  if (!(raw > 0) || !std::isfinite(raw)) return {};
  const double mag = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / mag;
  const double step = (norm < 1.5 ? 1 : norm < 3 ? 2 : norm < 7 ? 5 : 10) * mag;
  std::vector<double> out;
  for (double k = std::ceil(lo / step - 1e-9); k * step <= hi + 1e-9 * step; k += 1)
    out.push_back(k * step);
  return out;
}

std::string tick_label(double v, double step) {
  if (std::fabs(v) < 1e-9 * step) v = 0;
  return g_text(v, 6);  // six digits whatever the run's precision: labels, not results
}

void set_font(cairo_t* cr, double points) {
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, points * kPxPerPt);
}

// Writes s with its anchor at (x, y); ax, ay in 0..1 pick the anchor (0 left/top, 1 right/bottom).
void show_text_at(cairo_t* cr, const std::string& s, double x, double y, double ax, double ay) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, s.c_str(), &e);
  cairo_font_extents_t f;
  cairo_font_extents(cr, &f);
  const double text_h = f.ascent;  // digits and capitals reach the ascent, not below
  cairo_move_to(cr, x - e.x_advance * ax, y - text_h * ay + text_h);
  cairo_show_text(cr, s.c_str());
}

void draw_box_and_ticks(cairo_t* cr, const View& v) {
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, kLineWidthPt * kPxPerPt);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_rectangle(cr, v.left, v.top, v.width, v.height);
  cairo_stroke(cr);
  set_font(cr, kTickLabelPt);
  const std::vector<double> xt = ticks(v.x0, v.x1, v.width);
  const std::vector<double> yt = ticks(v.y0, v.y1, v.height);
  const double xstep = xt.size() > 1 ? xt[1] - xt[0] : 1;
  const double ystep = yt.size() > 1 ? yt[1] - yt[0] : 1;
  for (double t : xt) {
    const double px = v.px(t);
    cairo_move_to(cr, px, v.top + v.height);
    cairo_rel_line_to(cr, 0, -kTickPx);
    cairo_move_to(cr, px, v.top);
    cairo_rel_line_to(cr, 0, kTickPx);
    cairo_stroke(cr);
    show_text_at(cr, tick_label(t, xstep), px, v.top + v.height + 4, 0.5, 0);
  }
  for (double t : yt) {
    const double py = v.py(t);
    cairo_move_to(cr, v.left, py);
    cairo_rel_line_to(cr, kTickPx, 0);
    cairo_move_to(cr, v.left + v.width, py);
    cairo_rel_line_to(cr, -kTickPx, 0);
    cairo_stroke(cr);
    show_text_at(cr, tick_label(t, ystep), v.left - 5, py, 1, 0.5);
  }
  cairo_restore(cr);
}

void set_dash_for(cairo_t* cr, const std::string& style) {
  const double u = kPxPerPt;
  if (style == ":") {
    const double d[] = {1 * u, 2.5 * u};
    cairo_set_dash(cr, d, 2, 0);
  } else if (style == "--") {
    const double d[] = {6 * u, 4 * u};
    cairo_set_dash(cr, d, 2, 0);
  } else if (style == "-.") {
    const double d[] = {6 * u, 3 * u, 1 * u, 3 * u};
    cairo_set_dash(cr, d, 4, 0);
  } else {
    cairo_set_dash(cr, nullptr, 0, 0);
  }
}

// A regular polygon (or star, when inner > 0) of n outer corners about (cx, cy).
void polygon_path(cairo_t* cr, double cx, double cy, int n, double r, double inner, double turn) {
  const int corners = inner > 0 ? 2 * n : n;
  for (int i = 0; i < corners; ++i) {
    const double a = turn + 2 * M_PI * i / corners;
    const double rr = (inner > 0 && i % 2) ? inner : r;
    const double px = cx + rr * std::sin(a), py = cy - rr * std::cos(a);
    i ? cairo_line_to(cr, px, py) : cairo_move_to(cr, px, py);
  }
  cairo_close_path(cr);
}

void cross_path(cairo_t* cr, double cx, double cy, double r, bool upright, bool diagonal) {
  if (upright) {
    cairo_move_to(cr, cx - r, cy), cairo_line_to(cr, cx + r, cy);
    cairo_move_to(cr, cx, cy - r), cairo_line_to(cr, cx, cy + r);
  }
  if (diagonal) {
    const double d = r * M_SQRT1_2;
    cairo_move_to(cr, cx - d, cy - d), cairo_line_to(cr, cx + d, cy + d);
    cairo_move_to(cr, cx - d, cy + d), cairo_line_to(cr, cx + d, cy - d);
  }
}

// One marker of size s (pixels, about its width). Closed shapes can be filled; "+", "x" and
// "*" are only stroked; "." is a dot filled with the edge colour.
void draw_marker(cairo_t* cr, char m, double cx, double cy, double s, const Rgb& edge,
                 const std::optional<Rgb>& face) {
  const double r = 0.5 * s;
  bool closed = true;
  switch (m) {
    case '.': {
      cairo_arc(cr, cx, cy, std::max(0.25 * s, 1.0), 0, 2 * M_PI);
      set_color(cr, edge);
      cairo_fill(cr);
      return;
    }
    case 'o': cairo_new_sub_path(cr), cairo_arc(cr, cx, cy, r, 0, 2 * M_PI); break;
    case 's': cairo_rectangle(cr, cx - r, cy - r, s, s); break;
    case 'd': polygon_path(cr, cx, cy, 4, 1.2 * r, 0, 0); break;
    case '^': polygon_path(cr, cx, cy, 3, 1.1 * r, 0, 0); break;
    case 'v': polygon_path(cr, cx, cy, 3, 1.1 * r, 0, M_PI); break;
    case '>': polygon_path(cr, cx, cy, 3, 1.1 * r, 0, M_PI / 2); break;
    case '<': polygon_path(cr, cx, cy, 3, 1.1 * r, 0, -M_PI / 2); break;
    case 'p': polygon_path(cr, cx, cy, 5, 1.2 * r, 0.45 * r, 0); break;
    case 'h': polygon_path(cr, cx, cy, 6, 1.1 * r, 0, 0); break;
    case '+': cross_path(cr, cx, cy, r, true, false), closed = false; break;
    case 'x': cross_path(cr, cx, cy, r, false, true), closed = false; break;
    case '*': cross_path(cr, cx, cy, r, true, true), closed = false; break;
    default: return;
  }
  if (closed && face) {
    set_color(cr, *face);
    cairo_fill_preserve(cr);
  }
  set_color(cr, edge);
  cairo_stroke(cr);
}

void draw_line_object(cairo_t* cr, const Objects& g, Handle h, const View& v) {
  // Read in place: a drawn sample's coordinates are too many to copy for a paint.
  const std::span<const double> xs = g.numbers(h, Prop::xdata), ys = g.numbers(h, Prop::ydata);
  const auto n = static_cast<Index>(std::min(xs.size(), ys.size()));
  const Rgb edge = color_value(g.get(h, Prop::color)).value_or(Rgb{});
  const std::string style = text_or(g.get(h, Prop::linestyle), "-");
  const std::string marker = text_or(g.get(h, Prop::marker), "none");
  const double width = number_or(g.get(h, Prop::linewidth), kLineWidthPt) * kPxPerPt;
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  if (style != "none" && n > 1) {
    set_dash_for(cr, style);
    bool pen_down = false;
    for (Index i = 0; i < n; ++i) {
      const double x = xs[static_cast<size_t>(i)], y = ys[static_cast<size_t>(i)];
      if (!std::isfinite(x) || !std::isfinite(y)) {
        pen_down = false;  // a gap in the polyline
        continue;
      }
      pen_down ? cairo_line_to(cr, v.px(x), v.py(y)) : cairo_move_to(cr, v.px(x), v.py(y));
      pen_down = true;
    }
    set_color(cr, edge);
    cairo_stroke(cr);
  }
  if (marker.size() != 1) return;
  cairo_set_dash(cr, nullptr, 0, 0);
  const double size = number_or(g.get(h, Prop::markersize), 6) * kPxPerPt;
  const std::optional<Rgb> face = color_value(g.get(h, Prop::markerfacecolor));
  if (n >= kStampedFrom) {
    const double sx = v.width / (v.x1 - v.x0), sy = -v.height / (v.y1 - v.y0);
    const MarkerPoints points{
        xs.data(), ys.data(), n, sx, v.left - v.x0 * sx, sy, v.top + v.height - v.y0 * sy};
    const double reach = std::max(0.6 * size, 1.0) + width;
    const char m = marker[0];
    const bool one_colour = !face || (face->r == edge.r && face->g == edge.g && face->b == edge.b);
    if (stamp_markers(cr, points, reach, one_colour, [&](cairo_t* c, double x, double y) {
          draw_marker(c, m, x, y, size, edge, face);
        }))
      return;
  }
  for (Index i = 0; i < n; ++i) {
    const double x = xs[static_cast<size_t>(i)], y = ys[static_cast<size_t>(i)];
    if (std::isfinite(x) && std::isfinite(y))
      draw_marker(cr, marker[0], v.px(x), v.py(y), size, edge, face);
  }
}

void draw_text_object(cairo_t* cr, const Objects& g, Handle h, const View& v) {
  const Value pos = g.get(h, Prop::position);
  const Value s = g.get(h, Prop::string);
  if (!pos.is_matrix() || pos.matrix().size() < 2 || !s.is_text()) return;
  const double x = pos.matrix().data()[0], y = pos.matrix().data()[1];
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  set_font(cr, number_or(g.get(h, Prop::fontsize), kTextPt));
  set_color(cr, color_value(g.get(h, Prop::color)).value_or(Rgb{}));
  // PixelOffset [dx dy]: a shift on the page (up for positive dy) that zooming leaves alone.
  const Value off = g.get(h, "PixelOffset");
  const bool shifted = off.is_matrix() && off.matrix().size() == 2;
  const double dx = shifted ? off.matrix().data()[0] : 0, dy = shifted ? off.matrix().data()[1] : 0;
  show_text_at(cr, s.text(), v.px(x) + dx, v.py(y) - dy, 0, 0.5);
}

bool legend_shown(const Objects& g, Handle axes) {
  std::string state = lower_case(text_or(g.get(axes, "Legend"), ""));
  if (state.empty()) state = lower_case(text_or(g.appdata(0, "Legend"), "on"));
  return state != "off";
}

// A white box in the top right corner of the view: per entry its marker, then its name.
void draw_legend(cairo_t* cr, const Objects& g, Handle axes, const View& v) {
  const auto entries = legend_entries(g, axes);
  if (entries.empty()) return;
  cairo_save(cr);
  set_font(cr, kTickLabelPt);
  cairo_font_extents_t f;
  cairo_font_extents(cr, &f);
  double text_w = 0;
  for (const auto& e : entries) {
    cairo_text_extents_t t;
    cairo_text_extents(cr, e.first.c_str(), &t);
    text_w = std::max(text_w, t.x_advance);
  }
  const double pad = 5, mark_w = 16, row_h = std::max(f.ascent + f.descent, 10.0) + 3;
  const double w = pad + mark_w + pad + text_w + pad,
               h = pad + row_h * static_cast<double>(entries.size()) + pad;
  const double left = v.left + v.width - w - 6, top = v.top + 6;
  cairo_rectangle(cr, left, top, w, h);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, kLineWidthPt * kPxPerPt);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_stroke(cr);
  for (size_t i = 0; i < entries.size(); ++i) {
    const Handle h = entries[i].second;
    const double cy = top + pad + row_h * (static_cast<double>(i) + 0.5);
    const std::string marker = text_or(g.get(h, "Marker"), "none");
    const double size = std::clamp(number_or(g.get(h, "MarkerSize"), 6), 4.0, 9.0) * kPxPerPt;
    if (marker.size() == 1)
      draw_marker(cr, marker[0], left + pad + 0.5 * mark_w, cy, size,
                  color_value(g.get(h, "Color")).value_or(Rgb{}),
                  color_value(g.get(h, "MarkerFaceColor")));
    cairo_set_source_rgb(cr, 0, 0, 0);
    show_text_at(cr, entries[i].first, left + pad + mark_w + pad, cy, 0, 0.5);
  }
  cairo_restore(cr);
}

}  // namespace

std::string painted_colour_name(char letter) {
  for (const Painted& p : kPalette)
    if (p.letter == letter) return p.name;
  throw Error(std::string("no colour has the letter '") + letter + "'");
}

void render_axes(cairo_t* cr, const Objects& g, Handle axes, double x, double y, double width,
                 double height) {
  const View v = make_view(g, axes, x, y, width, height);
  if (!v.usable()) return;
  cairo_save(cr);
  cairo_rectangle(cr, v.left, v.top, v.width, v.height);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  const std::vector<Handle> kids = g.children(axes);  // creation order: later on top
  cairo_save(cr);
  cairo_rectangle(cr, v.left, v.top, v.width, v.height);
  cairo_clip(cr);
  for (Handle h : kids)
    if (g.kind(h) == ObjectType::line) draw_line_object(cr, g, h, v);
  cairo_restore(cr);
  for (Handle h : kids)
    if (g.kind(h) == ObjectType::text) draw_text_object(cr, g, h, v);
  if (legend_shown(g, axes)) draw_legend(cr, g, axes, v);
  draw_box_and_ticks(cr, v);
  cairo_restore(cr);
}

AxesBox axes_box(const Objects& g, Handle axes, double x, double y, double width, double height) {
  const View v = make_view(g, axes, x, y, width, height);
  return AxesBox{v.x0, v.x1, v.y0, v.y1, v.left, v.top, v.width, v.height, v.usable()};
}

PixelSize page_size_px(const Objects& g, Handle figure) {
  const Row f = g.pixel_position(figure);
  PixelSize page{std::max(1.0, f(2)), std::max(1.0, f(3))};
  for (Handle h : g.children(figure)) {
    if (g.kind(h) != ObjectType::axes) continue;
    const Row p = g.pixel_position(h);
    if (p(0) + p(2) > page.width) page.width = p(0) + p(2) + kPageMarginPx;
    if (p(1) + p(3) > page.height) page.height = p(1) + p(3) + kPageMarginPx;
  }
  return page;
}

void render_figure(cairo_t* cr, const Objects& g, Handle figure) {
  if (g.kind(figure) != ObjectType::figure)
    throw Error("only a figure can be exported, not a " + g.type(figure));
  const PixelSize page = page_size_px(g, figure);
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, page.width, page.height);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 0, page.width, page.height);
  cairo_clip(cr);
  for (Handle h : g.children(figure)) {
    if (g.kind(h) != ObjectType::axes) continue;  // controls stay out of the picture
    const Row p = g.pixel_position(h);            // from the bottom left
    render_axes(cr, g, h, p(0), page.height - p(1) - p(3), p(2), p(3));
  }
  cairo_restore(cr);
}

}  // namespace tav
