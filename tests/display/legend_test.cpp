// The legend: which kinds of point it names, that the renderer paints it in the corner unless
// switched off, and that the painted colours of kinds drawn together stay apart in greyscale
// and for red-green colour blindness.
#include "display/legend.h"

#include <cairo.h>
#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

#include "display/display.h"
#include "display/render.h"
#include "display_fixture.h"

namespace tav::test {
namespace {
using ::testing::ElementsAre;

std::vector<std::string> names(const Objects& gr, Handle ax) {
  std::vector<std::string> out;
  for (const auto& e : legend_entries(gr, ax)) out.push_back(e.first);
  return out;
}

// Curve 0 with points 1 and 4, an open curve 1 -> 2 (semi) -> 3 (helper) -> 4.
CurveProtocol ridge() {
  CurveProtocol p;
  p.numfull = 0, p.numopen = 1;
  p.members = {{1, 4}, {1, 2, 3, 4}};
  p.types = {{0, 0}, {0, 1, 2, 0}};
  return p;
}
const Matrix kShape = rows({{0, 0, 1, 1, 2, 1, 3, 0, 7}, {0, 0.1, 1, 1.1, 2, 0.9, 3, 0.1, 8}});

using Legend = DisplayTest;

TEST_F(Legend, NamesEachKindOfPointDrawnOnceInDrawingOrder) {
  draw_protocol(gr(), kShape, ridge(), false, false, ColourCode::own);
  EXPECT_THAT(names(gr(), axes()), ElementsAre("Landmarks", "Semi-landmarks", "Helper points"));
  const auto entries = legend_entries(gr(), axes());
  EXPECT_EQ(gr().get(entries[1].second, "Marker").text(), "d");  // shown as its points are drawn
}

TEST_F(Legend, HiddenHelpersAreNotNamedAndTheComparedDrawingIsNamedApart) {
  draw_protocol(gr(), kShape, ridge(), false, true, ColourCode::compared);
  EXPECT_THAT(names(gr(), axes()), ElementsAre("Landmarks", "Landmarks (compared)",
                                               "Semi-landmarks", "Semi-landmarks (compared)"));
}

TEST_F(Legend, ClearedAxesHaveNoLegend) {
  draw_protocol(gr(), kShape, ridge(), false, false, ColourCode::own);
  gr().cla(axes());
  EXPECT_TRUE(names(gr(), axes()).empty());
  draw_configurations(gr(), kShape, "b*");
  label_last_line(gr(), "Specimens");
  EXPECT_THAT(names(gr(), axes()), ElementsAre("Specimens"));
}

// Share of non-white pixels in the top right quarter of a 300×300 picture of the axes.
double ink_top_right(const Objects& gr, Handle ax) {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> s(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, 300, 300), cairo_surface_destroy);
  cairo_t* cr = cairo_create(s.get());
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  render_axes(cr, gr, ax, 0, 0, 300, 300);
  cairo_destroy(cr);
  cairo_surface_flush(s.get());
  const unsigned char* d = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  int ink = 0, all = 0;
  for (int y = 5; y < 100; ++y)
    for (int x = 150; x < 295; ++x, ++all)
      if ((*reinterpret_cast<const std::uint32_t*>(d + y * stride + 4 * x) & 0xFFFFFF) != 0xFFFFFF)
        ++ink;
  return static_cast<double>(ink) / all;
}

TEST_F(Legend, PaintedInTheCornerUntilTheCheckBoxTurnsItOff) {
  gr().hold(axes(), true);
  gr().line(axes(), row({0}), row({0}), "bd");  // far from the corner
  label_last_line(gr(), "Semi-landmarks");
  gr().axis(axes(), row({0, 10, 0, 10}));
  EXPECT_GT(ink_top_right(gr(), axes()), 0.01);
  showlegend(gr(), 0);
  EXPECT_EQ(ink_top_right(gr(), axes()), 0.0);
  showlegend(gr(), 1);
  EXPECT_GT(ink_top_right(gr(), axes()), 0.01);
}

struct Rgb {
  double r, g, b;
};

// The colour a filled marker of `spec` is painted in.
Rgb painted(const char* spec) {
  Objects gr;
  const Handle ax = gr.gca();
  gr.hold(ax, true);
  const Handle h = gr.line(ax, row({5}), row({5}), spec);
  gr.set(h, "MarkerSize", 40.0);
  gr.set(h, "MarkerFaceColor", gr.get(h, "Color"));
  gr.axis(ax, row({0, 10, 0, 10}));
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> s(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, 100, 100), cairo_surface_destroy);
  cairo_t* cr = cairo_create(s.get());
  render_axes(cr, gr, ax, 0, 0, 100, 100);
  cairo_destroy(cr);
  cairo_surface_flush(s.get());
  const std::uint32_t px = *reinterpret_cast<const std::uint32_t*>(
      cairo_image_surface_get_data(s.get()) + 50 * cairo_image_surface_get_stride(s.get()) +
      4 * 50);
  return {((px >> 16) & 255) / 255.0, ((px >> 8) & 255) / 255.0, (px & 255) / 255.0};
}

double linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double grey(const Rgb& c) {
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

// As a viewer without green cones sees it (Machado, Oliveira and Fernandes 2009, severity 1).
Rgb deuteranope(const Rgb& c) {
  const double r = linear(c.r), g = linear(c.g), b = linear(c.b);
  return {0.367322 * r + 0.860646 * g - 0.227968 * b, 0.280085 * r + 0.672501 * g + 0.047413 * b,
          -0.011820 * r + 0.042940 * g + 0.968881 * b};
}

struct Pair {
  const char* name;
  const char* a;
  const char* b;
};

class PaletteApart : public DisplayTest, public ::testing::WithParamInterface<Pair> {};

TEST_P(PaletteApart, KindsDrawnTogetherDifferInGreyAndForRedGreenBlindness) {
  const Rgb a = painted(GetParam().a), b = painted(GetParam().b);
  EXPECT_GT(std::fabs(grey(a) - grey(b)), 0.08) << "greyscale";
  const Rgb da = deuteranope(a), db = deuteranope(b);
  EXPECT_GT(std::hypot(da.r - db.r, da.g - db.g, da.b - db.b), 0.1) << "deuteranope";
}

INSTANTIATE_TEST_SUITE_P(Pairs, PaletteApart,
                         ::testing::Values(Pair{"landmark_semilandmark", "ks", "bs"},
                                           Pair{"semilandmark_helper", "bs", "rs"},
                                           Pair{"landmark_helper", "ks", "rs"},
                                           Pair{"sample_consensus_iterated", "rs", "bs"},
                                           Pair{"sliding_plain_comparison", "rs", "gs"},
                                           Pair{"compared_semi_helper", "gs", "ys"}),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
