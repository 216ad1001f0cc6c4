#include "display/render.h"

#include <algorithm>
#include <cairo.h>
#include <cstdint>
#include <memory>

#include "display/display.h"
#include "display_fixture.h"

namespace tav::test {
namespace {

struct Rgb8 {
  int r, g, b;
};

// render_axes on a white image of w×h pixels with the axes box at (20, 10) of size bw×bh.
class Canvas {
 public:
  Canvas(int w, int h, cairo_format_t format = CAIRO_FORMAT_RGB24)
      : surface_(cairo_image_surface_create(format, w, h), cairo_surface_destroy) {
    cairo_t* cr = cairo_create(surface_.get());
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  // `scale` enlarges the drawing as the PNG export does.
  void paint(const Objects& gr, Handle ax, double x, double y, double bw, double bh,
             double scale = 1) {
    cairo_t* cr = cairo_create(surface_.get());
    cairo_scale(cr, scale, scale);
    render_axes(cr, gr, ax, x, y, bw, bh);
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
  int width() const { return cairo_image_surface_get_width(surface_.get()); }
  int height() const { return cairo_image_surface_get_height(surface_.get()); }

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
Handle square(Objects& gr, double x, double y, const char* spec) {
  const Handle h = gr.line(gr.gca(), row({x}), row({y}), spec);
  gr.set(h, "MarkerSize", 12.0);
  gr.set(h, "MarkerFaceColor", gr.get(h, "Color"));
  return h;
}

TEST_F(RenderTest, MarkerLandsWhereItsDataPointMapsInsideTheBox) {
  gr().hold(axes(), true);
  square(gr(), 2.5, 7.5, "rs");
  gr().axis(axes(), row({0, 10, 0, 10}));
  Canvas c(300, 300);
  c.paint(gr(), axes(), 50, 50, 200, 200);
  EXPECT_TRUE(near(c.at(100, 100), kRed));  // x 2.5 → 50 + 50; y 7.5 → 50 + 200 - 150
  EXPECT_TRUE(near(c.at(200, 200), kWhite));
  EXPECT_FALSE(near(c.at(50, 150), kWhite));  // the box's left edge
}

TEST_F(RenderTest, EqualAspectNarrowsTheBoxAboutItsCentreKeepingTheLimits) {
  gr().hold(axes(), true);
  square(gr(), 1, 0.5, "bs");
  gr().axis(axes(), row({0, 1, 0, 1}));
  Canvas c(400, 200);
  c.paint(gr(), axes(), 50, 50, 200, 100);
  EXPECT_TRUE(near(c.at(196, 104), kWhite));  // stretched, the point sits on the right edge
  EXPECT_TRUE(near(c.at(100, 100), kWhite));
  gr().axis_equal(axes());
  Canvas e(400, 200);
  e.paint(gr(), axes(), 50, 50, 200, 100);
  EXPECT_TRUE(near(e.at(196, 104), kBlue));    // a 100×100 box from x = 100: x = 1 at 200
  EXPECT_FALSE(near(e.at(100, 100), kWhite));  // the narrowed box's left edge
  EXPECT_EQ(gr().axis(axes()), row({0, 1, 0, 1}));
}

TEST_F(RenderTest, FaceColourNoneLeavesTheMarkerHollow) {
  gr().hold(axes(), true);
  const Handle h = square(gr(), 5, 5, "rs");
  gr().set(h, "MarkerSize", 30.0);
  gr().axis(axes(), row({0, 10, 0, 10}));
  Canvas filled(300, 300);
  filled.paint(gr(), axes(), 50, 50, 200, 200);
  gr().set(h, "MarkerFaceColor", "none");
  Canvas hollow(300, 300);
  hollow.paint(gr(), axes(), 50, 50, 200, 200);
  EXPECT_TRUE(near(filled.at(150, 150), kRed));
  EXPECT_TRUE(near(hollow.at(150, 150), kWhite));
}

// Share of dark pixels along a horizontal line drawn at mid height.
double ink_along_line(Objects& gr, const char* spec) {
  gr.cla(gr.gca());
  gr.line(gr.gca(), row({0, 10}), row({5, 5}), spec);
  gr.axis(gr.gca(), row({0, 10, 0, 10}));
  Canvas c(300, 300);
  c.paint(gr, gr.gca(), 50, 50, 200, 200);
  int dark = 0;
  for (int x = 70; x < 230; ++x) dark += c.at(x, 150).r < 200 || c.at(x, 149).r < 200;
  return dark / 160.0;
}

TEST_F(RenderTest, DottedAndDashedLinesHaveGapsSolidOnesNone) {
  EXPECT_GT(ink_along_line(gr(), "k-"), 0.99);
  EXPECT_LT(ink_along_line(gr(), "k:"), 0.7);
  EXPECT_LT(ink_along_line(gr(), "k--"), 0.9);
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
    c.paint(gr(), axes(), 50, 50, 200, 200);
    int dark = 0;
    for (int y = 130; y < 170; ++y)
      for (int x = 130; x < 170; ++x) dark += c.at(x, y).r < 128;
    EXPECT_GT(dark, 3);
  }
}

// A sample's markers drawn as one line object look as they do drawn one object per marker:
// in images of either pixel format, at the window's and the export's scale, filled or not,
// overlapping, and cut off at the box's edges alike.
struct ManyMarkers {
  const char* name;
  const char* spec;
  bool filled;
  cairo_format_t format;
  double scale;
};

class ManyMarkersTest : public DisplayTest, public ::testing::WithParamInterface<ManyMarkers> {};

TEST_P(ManyMarkersTest, OneObjectLooksLikeOneObjectPerMarker) {
  const ManyMarkers m = GetParam();
  const int n = 400;
  Row xs(n), ys(n);
  for (int i = 0; i < n; ++i)  // spread over the box and a little beyond it, many overlapping
    xs(i) = 5 + 6 * std::sin(1.3 * i + 0.2 * i * i / n), ys(i) = 5 + 6 * std::cos(0.7 * i + 0.37);
  auto draw = [&](const Row& x, const Row& y) {
    const Handle h = gr().line(axes(), x, y, m.spec);
    gr().set(h, "MarkerSize", 4.0);
    if (m.filled) gr().set(h, "MarkerFaceColor", "y");
  };
  auto picture = [&] {
    gr().axis(axes(), row({0, 10, 0, 10}));
    auto c = std::make_unique<Canvas>(static_cast<int>(300 * m.scale),
                                      static_cast<int>(300 * m.scale), m.format);
    c->paint(gr(), axes(), 50, 50, 200, 200, m.scale);
    return c;
  };
  gr().hold(axes(), true);
  draw(xs, ys);
  const auto one = picture();
  gr().cla(axes());
  gr().hold(axes(), true);
  for (int i = 0; i < n; ++i) draw(xs.segment(i, 1), ys.segment(i, 1));
  const auto each = picture();
  int inked = 0, unlike = 0, worst = 0;
  for (int y = 0; y < one->height(); ++y)
    for (int x = 0; x < one->width(); ++x) {
      const Rgb8 a = one->at(x, y), b = each->at(x, y);
      const int d = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
      inked += !near(b, kWhite);
      unlike += d > 24;  // a marker's centre moves by up to a sixteenth of a pixel
      worst = std::max(worst, d);
    }
  EXPECT_GT(inked, 1000);
  EXPECT_LT(unlike, inked / 50);
  EXPECT_LT(worst, 48);
}

INSTANTIATE_TEST_SUITE_P(
    Looks, ManyMarkersTest,
    ::testing::Values(ManyMarkers{"stars_png", "b*", false, CAIRO_FORMAT_RGB24, 3},
                      ManyMarkers{"dots_window", "k.", false, CAIRO_FORMAT_ARGB32, 1},
                      ManyMarkers{"filled_diamonds_window", "bd", true, CAIRO_FORMAT_ARGB32, 1},
                      ManyMarkers{"filled_squares_png", "rs", true, CAIRO_FORMAT_RGB24, 3},
                      ManyMarkers{"circles_odd_scale", "ko", false, CAIRO_FORMAT_RGB24, 1.7}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
