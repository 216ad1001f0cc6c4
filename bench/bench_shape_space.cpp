// Cost of the shape space (projection, components, distances, slide record) on 5,000 specimens
// of 200 points, against the plain run on the same sample: Load of the file's text, the plain
// consensus, and the saves of the sample and the consensus (what `tavrel6-batch --no-align
// --save --save-reference` does). CPU time of the whole process, so that threads count.
#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "engine/engine.h"
#include "engine/session.h"
#include "formats/files.h"
#include "platform/console.h"

namespace {

using tav::Index;

constexpr int kSpecimens = 5000, kOutline = 160, kRidge = 36;  // 4 landmarks: 200 points

// A shell-like outline point at angle t of a specimen's shape (three harmonics).
std::pair<double, double> outline_point(double t, const double shape[3]) {
  const double r = 1 + 0.18 * std::cos(2 * t) + shape[0] * std::cos(3 * t) +
                   shape[1] * std::sin(t) + shape[2] * std::sin(2 * t);
  return {1.3 * r * std::cos(t), r * std::sin(t)};
}

// The sample as a rows file: 4 landmarks, an outline of unevenly placed semi-landmarks and a
// bowed ridge, each specimen turned, scaled, shifted and jittered; trailing value its number.
const std::string& sample_text() {
  static const std::string text = [] {
    std::mt19937 gen(20261211);
    std::normal_distribution<double> gauss(0, 1);
    std::uniform_real_distribution<double> u(0, 1);
    std::ostringstream out;
    out.precision(10);
    for (int i = 0; i < kSpecimens; ++i) {
      const double shape[3] = {0.05 * gauss(gen), 0.06 * gauss(gen), 0.04 * gauss(gen)};
      std::vector<std::pair<double, double>> p;
      auto apex = outline_point(0, shape), base = outline_point(M_PI, shape);
      apex = {0.7 * apex.first, 0.7 * apex.second}, base = {0.7 * base.first, 0.7 * base.second};
      p.push_back(apex), p.push_back(base);
      p.push_back({0.35 + 0.03 * gauss(gen), 0.45 + 0.03 * gauss(gen)});
      p.push_back({-0.4 + 0.03 * gauss(gen), 0.4 + 0.03 * gauss(gen)});
      const double drift = 0.3 * u(gen) - 0.15;
      for (int j = 0; j < kOutline; ++j)
        p.push_back(outline_point(2 * M_PI * j / kOutline + drift + 0.01 * (u(gen) - 0.5), shape));
      const double bow = -0.25 + 0.05 * gauss(gen);
      for (int j = 0; j < kRidge; ++j) {
        const double f = (j + 1.0 + 0.3 * (u(gen) - 0.5)) / (kRidge + 1);
        p.push_back({apex.first + (base.first - apex.first) * f,
                     apex.second + (base.second - apex.second) * f + bow * std::sin(M_PI * f)});
      }
      const double turn = 2 * M_PI * u(gen), scale = 20 + 40 * u(gen);
      const double dx = 400 * u(gen) - 200, dy = 400 * u(gen) - 200;
      for (const auto& [x, y] : p)
        out << scale * (x * std::cos(turn) - y * std::sin(turn)) + dx + 0.1 * gauss(gen) << ' '
            << scale * (x * std::sin(turn) + y * std::cos(turn)) + dy + 0.1 * gauss(gen) << ' ';
      out << i + 1 << '\n';
    }
    return out.str();
  }();
  return text;
}

// The protocol: landmarks 1-4, closed outline 5-164, ridge from landmark 1 through 165-200
// (its first and last points helpers) to landmark 2.
std::string protocol_path() {
  const std::string path =
      (std::filesystem::temp_directory_path() / "bench_shape_space_protocol.txt").string();
  std::ostringstream rows;
  for (int p = 1; p <= 4; ++p) rows << "0 0 " << p << " 0\n";
  for (int p = 5; p < 5 + kOutline; ++p) rows << "-1 0 " << p << " 1\n";
  rows << "1 0 1 0\n";
  for (int j = 0; j < kRidge; ++j)
    rows << "1 0 " << 5 + kOutline + j << (j == 0 || j == kRidge - 1 ? " 2\n" : " 1\n");
  rows << "1 0 2 0\n";
  tav::write_file_atomically(path, rows.str());
  return path;
}

std::string temp(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// Load and the plain consensus run.
void load_and_run(tav::Session& session, tav::RunMode mode, bool with_protocol) {
  tav::load_sample_text(session, "bench.txt", sample_text());
  if (with_protocol) tav::load_protocol(session, protocol_path());
  tav::RunObserver quiet;
  tav::run(session, tav::RunOptions{mode}, quiet);
}

void BM_PlainRun(benchmark::State& state) {
  const tav::ConsoleCapture console;
  sample_text();  // made once, outside the timing
  for (auto _ : state) {
    tav::Session session;
    load_and_run(session, tav::RunMode::plain, false);
    tav::save_result(session, tav::Result::sample, temp("bench_shape_space_sample.txt"));
    tav::save_result(session, tav::Result::reference, temp("bench_shape_space_reference.txt"));
  }
}
BENCHMARK(BM_PlainRun)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The shape space of the plain run (no slides: nothing slid), and of a run that slid the
// semi-landmarks by Procrustes distance (the slide record measured).
void BM_ShapeSpace(benchmark::State& state) {
  const tav::ConsoleCapture console;
  tav::Session session;
  const bool slid = state.range(0) != 0;
  load_and_run(session, slid ? tav::RunMode::distance : tav::RunMode::plain, slid);
  for (auto _ : state) benchmark::DoNotOptimize(tav::shape_space(session));
  state.SetLabel(slid ? "after a distance run" : "after the plain run");
}
BENCHMARK(BM_ShapeSpace)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
