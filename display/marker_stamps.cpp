#include "display/marker_stamps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace tav {
namespace {

constexpr int kSteps = 8;  // positions per pixel along each axis (a shift by 3 divides by it)

// One marker drawn at one sub-pixel position: premultiplied ARGB pixels, and per row the
// first and one past the last column that hold any of it.
struct Stamp {
  std::vector<std::uint32_t> pixels;
  std::vector<std::pair<int, int>> spans;
};

// Where cr paints, in device pixels: the image, the map from user space, the clip rectangle.
struct Target {
  std::uint32_t* data = nullptr;
  int stride = 0, width = 0, height = 0;  // stride in pixels
  cairo_matrix_t m{};
  int left = 0, top = 0, right = 0, bottom = 0;  // whole pixels inside the clip
};

bool find_target(cairo_t* cr, Target& t) {
  cairo_surface_t* s = cairo_get_target(cr);
  if (cairo_get_group_target(cr) != s || cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE)
    return false;
  const cairo_format_t f = cairo_image_surface_get_format(s);
  if ((f != CAIRO_FORMAT_ARGB32 && f != CAIRO_FORMAT_RGB24) ||
      cairo_get_operator(cr) != CAIRO_OPERATOR_OVER)
    return false;
  double ox, oy, sx, sy;
  cairo_surface_get_device_offset(s, &ox, &oy);
  cairo_surface_get_device_scale(s, &sx, &sy);
  cairo_get_matrix(cr, &t.m);
  if (ox != 0 || oy != 0 || sx != 1 || sy != 1 || t.m.xy != 0 || t.m.yx != 0 || !(t.m.xx > 0) ||
      !(t.m.yy > 0))
    return false;
  // The renderer clips to rectangles only, so the clip is its bounding box.
  double x1, y1, x2, y2;
  cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
  t.left = static_cast<int>(std::ceil(t.m.xx * x1 + t.m.x0 - 1e-9));
  t.top = static_cast<int>(std::ceil(t.m.yy * y1 + t.m.y0 - 1e-9));
  t.right = static_cast<int>(std::floor(t.m.xx * x2 + t.m.x0 + 1e-9));
  t.bottom = static_cast<int>(std::floor(t.m.yy * y2 + t.m.y0 + 1e-9));
  cairo_surface_flush(s);
  t.data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s));
  t.stride = cairo_image_surface_get_stride(s) / 4;
  t.width = cairo_image_surface_get_width(s), t.height = cairo_image_surface_get_height(s);
  t.left = std::max(t.left, 0), t.top = std::max(t.top, 0);
  t.right = std::min(t.right, t.width), t.bottom = std::min(t.bottom, t.height);
  return t.data != nullptr;
}

// The marker drawn with its centre at (centre + fx / kSteps, centre + fy / kSteps) of a
// size × size image, at cr's scale and with cr's line settings.
Stamp make_stamp(cairo_t* cr, const cairo_matrix_t& m, int size, int centre, int fx, int fy,
                 const std::function<void(cairo_t*, double, double)>& draw_one) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* c = cairo_create(s);
  cairo_translate(c, centre + static_cast<double>(fx) / kSteps,
                  centre + static_cast<double>(fy) / kSteps);
  cairo_scale(c, m.xx, m.yy);
  cairo_set_line_width(c, cairo_get_line_width(cr));
  cairo_set_line_cap(c, cairo_get_line_cap(cr));
  cairo_set_line_join(c, cairo_get_line_join(cr));
  cairo_set_miter_limit(c, cairo_get_miter_limit(cr));
  cairo_set_antialias(c, cairo_get_antialias(cr));
  draw_one(c, 0, 0);
  cairo_destroy(c);
  cairo_surface_flush(s);
  Stamp st;
  st.pixels.resize(static_cast<size_t>(size) * size);
  st.spans.assign(static_cast<size_t>(size), {0, 0});
  const unsigned char* d = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < size; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(d + y * stride);
    int first = size, last = -1;
    for (int x = 0; x < size; ++x) {
      st.pixels[static_cast<size_t>(y * size + x)] = row[x];
      if (row[x] != 0) first = std::min(first, x), last = x;
    }
    if (last >= 0) st.spans[static_cast<size_t>(y)] = {first, last + 1};
  }
  cairo_surface_destroy(s);
  return st;
}

// src OVER dst for premultiplied 8-bit channels, two channels per multiplication, each
// product divided by 255 with rounding as pixman divides.
inline std::uint32_t over(std::uint32_t src, std::uint32_t dst) {
  const std::uint32_t inv = 255 - (src >> 24);  // 255 over a clear pixel: dst comes back exact
  std::uint32_t rb = (dst & 0x00ff00ffu) * inv + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
  std::uint32_t ag = ((dst >> 8) & 0x00ff00ffu) * inv + 0x00800080u;
  ag = (ag + ((ag >> 8) & 0x00ff00ffu)) & 0xff00ff00u;
  return src + rb + ag;  // a premultiplied channel never exceeds its alpha: no carry
}

void lay(const Target& t, const Stamp& st, int size, int x0, int y0) {
  for (int r = std::max(0, t.top - y0); r < size && y0 + r < t.bottom; ++r) {
    const auto [first, end] = st.spans[static_cast<size_t>(r)];
    const int from = std::max(first, t.left - x0), to = std::min(end, t.right - x0);
    std::uint32_t* out = t.data + static_cast<std::ptrdiff_t>(y0 + r) * t.stride + x0;
    const std::uint32_t* in = st.pixels.data() + static_cast<size_t>(r * size);
    for (int c = from; c < to; ++c) out[c] = over(in[c], out[c]);
  }
}

// Where point i lands, in eighths of a device pixel; false when its marker cannot reach into
// the clip (a coordinate that is not a number included).
bool place(const Target& t, const MarkerPoints& p, Index i, int size, long& qx, long& qy) {
  const double dx = t.m.xx * (p.ox + p.sx * p.x[i]) + t.m.x0;
  const double dy = t.m.yy * (p.oy + p.sy * p.y[i]) + t.m.y0;
  if (!(dx > t.left - size && dx < t.right + size && dy > t.top - size && dy < t.bottom + size))
    return false;
  qx = std::lround(dx * kSteps), qy = std::lround(dy * kSteps);
  return true;
}

// The points that can show, tile by tile of the image (each tile's points in their own order),
// so that the pixels a run of markers is laid on stay in the cache. They are handed to
// lay_batch a band of tiles at a time, each band holding about kBandPoints points (a row of
// tiles at least), so the order of a million markers never needs a million indices at once.
template <class LayBatch>
void by_tile(const Target& t, const MarkerPoints& p, int size, LayBatch&& lay_batch) {
  constexpr int kTileShift = 6;  // 64 × 64 pixels
  constexpr std::uint32_t kBandPoints = 1u << 18;
  const int across = (t.width >> kTileShift) + 1, down = (t.height >> kTileShift) + 1;
  auto tile = [&](long qx, long qy) {
    const int tx = std::clamp(static_cast<int>(qx >> 3) >> kTileShift, 0, across - 1);
    const int ty = std::clamp(static_cast<int>(qy >> 3) >> kTileShift, 0, down - 1);
    return static_cast<size_t>(ty * across + tx);
  };
  const size_t tiles = static_cast<size_t>(across) * down;
  std::vector<std::uint32_t> start(tiles + 1, 0);
  long qx, qy;
  for (Index i = 0; i < p.n; ++i)
    if (place(t, p, i, size, qx, qy)) ++start[tile(qx, qy) + 1];
  for (size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
  std::vector<std::uint32_t> order, next;
  for (size_t first = 0; first < tiles;) {
    // Whole rows of tiles while they fit in a band, and always one.
    size_t end = first + static_cast<size_t>(across);
    while (end < tiles && start[end + static_cast<size_t>(across)] - start[first] <= kBandPoints)
      end += static_cast<size_t>(across);
    next.assign(start.begin() + static_cast<std::ptrdiff_t>(first),
                start.begin() + static_cast<std::ptrdiff_t>(end));
    order.resize(start[end] - start[first]);
    for (Index i = 0; i < p.n && !order.empty(); ++i)
      if (place(t, p, i, size, qx, qy))
        if (const size_t k = tile(qx, qy); k >= first && k < end)
          order[next[k - first]++ - start[first]] = static_cast<std::uint32_t>(i);
    lay_batch(order);
    first = end;
  }
}

}  // namespace

bool stamp_markers(cairo_t* cr, const MarkerPoints& p, double reach, bool any_order,
                   const std::function<void(cairo_t*, double, double)>& draw_one) {
  Target t;
  if (!find_target(cr, t)) return false;
  if (t.left >= t.right || t.top >= t.bottom) return true;  // nothing of it can show
  const int centre = static_cast<int>(std::ceil(reach * std::max(t.m.xx, t.m.yy))) + 2;
  const int size = 2 * centre + 1;
  std::array<Stamp, kSteps * kSteps> stamps;
  std::array<bool, kSteps * kSteps> made{};
  auto lay_at = [&](long qx, long qy) {
    const int fx = static_cast<int>(qx & (kSteps - 1)), fy = static_cast<int>(qy & (kSteps - 1));
    const auto which = static_cast<size_t>(fy * kSteps + fx);
    if (!made[which])
      stamps[which] = make_stamp(cr, t.m, size, centre, fx, fy, draw_one), made[which] = true;
    // Arithmetic shifts round down, also for points left of or above the image.
    lay(t, stamps[which], size, static_cast<int>(qx >> 3) - centre,
        static_cast<int>(qy >> 3) - centre);
  };
  long qx, qy;
  if (any_order && p.n <= std::numeric_limits<std::uint32_t>::max()) {
    by_tile(t, p, size, [&](const std::vector<std::uint32_t>& order) {
      for (const std::uint32_t i : order)
        if (place(t, p, i, size, qx, qy)) lay_at(qx, qy);
    });
  } else {
    for (Index i = 0; i < p.n; ++i)
      if (place(t, p, i, size, qx, qy)) lay_at(qx, qy);
  }
  cairo_surface_mark_dirty(cairo_get_target(cr));
  return true;
}

}  // namespace tav
