#include <cairo.h>

#include <cstdint>
#include <memory>

#include "display/display.h"
#include "display/render.h"
#include "display_fixture.h"

namespace tav::test {
namespace {

struct Rgb8 {
  int r, g, b;
};

// render_axes on a white image of w×h pixels with the axes box at (20, 10) of size bw×bh.
class Canvas {
 public:
  Canvas(int w, int h) : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h), cairo_surface_destroy) {
    cairo_t* cr = cairo_create(surface_.get());
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  void paint(Handle ax, double x, double y, double bw, double bh) {
    cairo_t* cr = cairo_create(surface_.get());
    render_axes(cr, gr(), ax, x, y, bw, bh);
    cairo_destroy(cr);
    cairo_surface_flush(surface_.get());
  }
  Rgb8 at(int x, int y) const {
    const unsigned char* d = cairo_image_surface_get_data(surface_.get());
    const int stride = cairo_image_surface_get_stride(surface_.get());
    const std::uint32_t px = *reinterpret_cast<const std::uint32_t*>(d + y * stride + 4 * x);
    return {static_cast<int>((px >> 16) & 255), static_cast<int>((px >> 8) & 255),
            static_cast<int>(px & 255)};
  }

 private:
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface_;
};

bool near(const Rgb8& a, const Rgb8& b) {
  return std::abs(a.r - b.r) < 40 && std::abs(a.g - b.g) < 40 && std::abs(a.b - b.b) < 40;
}
// "r" and "b" as painted: the orange and blue of the colour-blind-safe palette.
const Rgb8 kWhite{255, 255, 255}, kRed{230, 159, 0}, kBlue{0, 114, 178};

using RenderTest = DisplayTest;

// A big filled square marker of the given colour at (x, y).
Handle square(double x, double y, const char* spec) {
  const Handle h = gr().line(gr().gca(), row({x}), row({y}), spec);
  gr().set(h, "MarkerSize", 12.0);
  gr().set(h, "MarkerFaceColor", gr().get(h, "Color"));
  return h;
}

TEST_F(RenderTest, MarkerLandsWhereItsDataPointMapsInsideTheBox) {
  gr().hold(axes(), true);
  square(2.5, 7.5, "rs");
  gr().axis(axes(), row({0, 10, 0, 10}));
  Canvas c(300, 300);
  c.paint(axes(), 50, 50, 200, 200);
  EXPECT_TRUE(near(c.at(100, 100), kRed));  // x 2.5 → 50 + 50; y 7.5 → 50 + 200 - 150
  EXPECT_TRUE(near(c.at(200, 200), kWhite));
  EXPECT_FALSE(near(c.at(50, 150), kWhite));  // the box's left edge
}

TEST_F(RenderTest, EqualAspectNarrowsTheBoxAboutItsCentreKeepingTheLimits) {
  gr().hold(axes(), true);
  square(1, 0.5, "bs");
  gr().axis(axes(), row({0, 1, 0, 1}));
  Canvas c(400, 200);
  c.paint(axes(), 50, 50, 200, 100);
  EXPECT_TRUE(near(c.at(196, 104), kWhite));  // stretched, the point sits on the right edge
  EXPECT_TRUE(near(c.at(100, 100), kWhite));
  gr().axis_equal(axes());
  Canvas e(400, 200);
  e.paint(axes(), 50, 50, 200, 100);
  EXPECT_TRUE(near(e.at(196, 104), kBlue));  // a 100×100 box from x = 100: x = 1 at 200
  EXPECT_FALSE(near(e.at(100, 100), kWhite));  // the narrowed box's left edge
  EXPECT_EQ(gr().axis(axes()), row({0, 1, 0, 1}));
}

TEST_F(RenderTest, FaceColourNoneLeavesTheMarkerHollow) {
  gr().hold(axes(), true);
  const Handle h = square(5, 5, "rs");
  gr().set(h, "MarkerSize", 30.0);
  gr().axis(axes(), row({0, 10, 0, 10}));
  Canvas filled(300, 300);
  filled.paint(axes(), 50, 50, 200, 200);
  gr().set(h, "MarkerFaceColor", "none");
  Canvas hollow(300, 300);
  hollow.paint(axes(), 50, 50, 200, 200);
  EXPECT_TRUE(near(filled.at(150, 150), kRed));
  EXPECT_TRUE(near(hollow.at(150, 150), kWhite));
}

// Share of dark pixels along a horizontal line drawn at mid height.
double ink_along_line(const char* spec) {
  gr().cla(gr().gca());
  gr().line(gr().gca(), row({0, 10}), row({5, 5}), spec);
  gr().axis(gr().gca(), row({0, 10, 0, 10}));
  Canvas c(300, 300);
  c.paint(gr().gca(), 50, 50, 200, 200);
  int dark = 0;
  for (int x = 70; x < 230; ++x) dark += c.at(x, 150).r < 200 || c.at(x, 149).r < 200;
  return dark / 160.0;
}

TEST_F(RenderTest, DottedAndDashedLinesHaveGapsSolidOnesNone) {
  EXPECT_GT(ink_along_line("k-"), 0.99);
  EXPECT_LT(ink_along_line("k:"), 0.7);
  EXPECT_LT(ink_along_line("k--"), 0.9);
}

TEST_F(RenderTest, EveryMarkerKindLeavesInk) {
  for (const char* spec : {"k.", "ko", "k*", "k+", "kx", "ks", "kd"}) {
    SCOPED_TRACE(spec);
    gr().cla(axes());
    gr().hold(axes(), true);
    const Handle h = gr().line(axes(), row({5}), row({5}), spec);
    gr().set(h, "MarkerSize", 20.0);
    gr().axis(axes(), row({0, 10, 0, 10}));
    Canvas c(300, 300);
    c.paint(axes(), 50, 50, 200, 200);
    int dark = 0;
    for (int y = 130; y < 170; ++y)
      for (int x = 130; x < 170; ++x) dark += c.at(x, y).r < 128;
    EXPECT_GT(dark, 3);
  }
}

}  // namespace
}  // namespace tav::test
