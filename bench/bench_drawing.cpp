// The drawing of a large sample: 1,600 specimens × 120 points, every point its own line object
// as the plots make it. Measures building the drawing (and clearing it, as each pass of the
// iterated run does), restyling every marker, and painting it.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <random>

#include "display/render.h"
#include "platform/objects.h"

namespace {

using tav::Handle;
using tav::Objects;

constexpr int kSpecimens = 1600, kPoints = 120;

void draw_sample(Objects& g, Handle ax) {
  std::mt19937 gen(7);
  std::normal_distribution<double> jitter(0, 0.05);
  g.hold(ax, true);
  for (int i = 0; i < kSpecimens; ++i)
    for (int p = 0; p < kPoints; ++p) {
      const double t = 6.283185307179586 * p / kPoints;
      const Handle h = g.line(ax, tav::row({std::cos(t) + jitter(gen)}),
                              tav::row({std::sin(t) + jitter(gen)}), p % 2 ? "bd" : "ko");
      g.set(h, "MarkerSize", 3.0);
    }
  g.axis_auto(ax);
  g.axis_equal(ax);
}

void BM_DrawAndClear(benchmark::State& state) {
  Objects g;
  const Handle ax = g.gca();
  for (auto _ : state) {
    draw_sample(g, ax);
    g.cla(ax);
  }
}
BENCHMARK(BM_DrawAndClear)->Unit(benchmark::kMillisecond);

void BM_RestyleMarkers(benchmark::State& state) {
  Objects g;
  const Handle ax = g.gca();
  draw_sample(g, ax);
  const std::vector<Handle> kids = g.children(ax);
  for (auto _ : state)
    for (Handle h : kids) g.set(h, "MarkerSize", g.get(h, "MarkerSize").scalar() + 0.5);
}
BENCHMARK(BM_RestyleMarkers)->Unit(benchmark::kMillisecond);

void BM_Render(benchmark::State& state) {
  Objects g;
  const Handle ax = g.gca();
  draw_sample(g, ax);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 900, 640);
  cairo_t* cr = cairo_create(s);
  for (auto _ : state) tav::render_axes(cr, g, ax, 60, 20, 800, 580);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
}
BENCHMARK(BM_Render)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
