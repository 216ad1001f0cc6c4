// What the window does with a large sample, without a screen: the engine's "Load" and
// "Replot" actions on 5,000 specimens × 200 points (4 landmarks and a closed outline of 196
// semi-landmarks), each followed by painting the window's figure into an image of its size,
// as the window paints it. The time from the click to the painted picture.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

#include "display/render.h"
#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/session.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "shell/lifecycle.h"

namespace {

using tav::Handle;

constexpr int kSpecimens = 5000, kPoints = 200, kLandmarks = 4;

// A folder holding the sample and its protocol, removed at the end.
struct SampleFiles {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("tav_bench_window_" + std::to_string(::getpid()));
  std::string data = (dir / "sample.txt").string(), protocol = (dir / "protocol.txt").string();

  SampleFiles() {
    std::filesystem::create_directories(dir);
    std::mt19937 gen(11);
    std::normal_distribution<double> jitter(0, 0.01);
    std::uniform_real_distribution<double> angle(-0.3, 0.3), scale(50, 150), shift(-100, 100);
    std::ofstream out(data);
    char buf[32];
    for (int i = 0; i < kSpecimens; ++i) {
      const double a = angle(gen), s = scale(gen), dx = shift(gen), dy = shift(gen);
      for (int p = 0; p < kPoints; ++p) {
        const double t = 6.283185307179586 * p / kPoints;
        const double u = (1 + 0.2 * std::cos(3 * t)) * std::cos(t) + jitter(gen);
        const double v = 0.7 * std::sin(t) + jitter(gen);
        std::snprintf(buf, sizeof buf, "%.4f %.4f ", s * (std::cos(a) * u - std::sin(a) * v) + dx,
                      s * (std::sin(a) * u + std::cos(a) * v) + dy);
        out << buf;
      }
      out << "1\n";
    }
    std::ofstream proto(protocol);
    for (int p = 1; p <= kPoints; ++p)
      proto << (p <= kLandmarks ? 0 : -1) << " 0 " << p << " " << (p <= kLandmarks ? 0 : 1) << "\n";
  }
  ~SampleFiles() { std::filesystem::remove_all(dir); }
};

// The headless window with its runtime, the run set to the plain consensus.
struct Window {
  tav::ScriptedBackend backend;
  tav::Session session{&backend};
  tav::ConsoleCapture quiet;
  Handle figure = 0;

  Window() {
    tav::start_all(session);
    figure = tav::make_headless_window(session.objects());
    for (const char* tag : {"NoAlignButton", "CurveButton"})
      session.objects().set(session.objects().find_by_tag(tag).front(), "Value", tav::Value(1.0));
  }
  ~Window() { tav::stop_all(session); }
  void act(const char* action, const std::string& path = "") {
    if (!path.empty()) backend.choose(path);
    tav::run_action(session, action);
    if (!backend.messages.empty())
      throw std::runtime_error(std::string(action) + ": " + backend.messages.front());
  }
  // Paints the figure as the window does, into an image of the figure's size.
  void paint() {
    const tav::PixelSize page = tav::page_size_px(session.objects(), figure);
    cairo_surface_t* s = cairo_image_surface_create(
        CAIRO_FORMAT_ARGB32, static_cast<int>(page.width), static_cast<int>(page.height));
    cairo_t* cr = cairo_create(s);
    tav::render_figure(cr, session.objects(), figure);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
  }
};

const SampleFiles& files() {
  static const SampleFiles f;
  return f;
}

void BM_LoadAndPaint(benchmark::State& state) {
  Window w;
  for (auto _ : state) {
    w.act("Load", files().data);
    w.paint();
  }
}
BENCHMARK(BM_LoadAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReplotAndPaint(benchmark::State& state) {
  Window w;
  w.act("Load", files().data);
  w.act("LoadProtocol", files().protocol);
  for (auto _ : state) {
    w.act("Replot");
    w.paint();
  }
}
BENCHMARK(BM_ReplotAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// The paint alone, of the replotted sample.
void BM_PaintOnly(benchmark::State& state) {
  Window w;
  w.act("Load", files().data);
  w.act("LoadProtocol", files().protocol);
  w.act("Replot");
  for (auto _ : state) w.paint();
}
BENCHMARK(BM_PaintOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
