// Distance-sliding consensus on a synthetic sample: 400 specimens of 120 points, with a
// closed curve of 40 points and two open curves of 36 points, semi-landmarks displaced along
// their curves (fixed seed).
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <random>

#include "consensus/consensus.h"
#include "consensus/distance_slide.h"
#include "platform/parallel.h"

namespace tav {
namespace {

constexpr int kSpecimens = 400;

Eigen::RowVector2d outline(double s) {
  const double a = 2 * std::numbers::pi * s;
  const double r = 1 + 0.25 * std::cos(2 * a) + 0.1 * std::sin(3 * a);
  return {1.3 * r * std::cos(a), r * std::sin(a)};
}

Eigen::RowVector2d eye(double s) {
  const double a = 2 * std::numbers::pi * s;
  return {0.3 + 0.35 * std::cos(a), 0.1 + 0.2 * std::sin(a)};
}

struct Sample {
  Matrix x;
  CurveProtocol protocol;
};

// Points 1-8: landmarks on the outline; 9-48: closed curve around the eye; open curve 1 runs
// from landmark 1 over 34 semi-landmarks (49-82) to landmark 2; open curve 2 from landmark 5
// over 38 semi-landmarks (83-120) to landmark 6.
Sample make_sample() {
  Sample out;
  std::vector<double> s;
  std::vector<bool> on_eye;
  for (int j = 0; j < 8; ++j) s.push_back(j / 8.0), on_eye.push_back(false);
  for (int j = 0; j < 40; ++j) s.push_back(j / 40.0), on_eye.push_back(true);
  for (int j = 1; j <= 34; ++j) s.push_back(0.125 * j / 35.0), on_eye.push_back(false);
  for (int j = 1; j <= 38; ++j) s.push_back(0.5 + 0.125 * j / 39.0), on_eye.push_back(false);
  const Index k = static_cast<Index>(s.size());
  CurveProtocol& p = out.protocol;
  p.numfull = -1;
  p.numopen = 2;
  p.members.resize(4);
  for (int j = 9; j <= 48; ++j) p.members[0].push_back(j);
  for (int j = 1; j <= 8; ++j) p.members[1].push_back(j);
  p.members[2].push_back(1);
  for (int j = 49; j <= 82; ++j) p.members[2].push_back(j);
  p.members[2].push_back(2);
  p.members[3].push_back(5);
  for (int j = 83; j <= 120; ++j) p.members[3].push_back(j);
  p.members[3].push_back(6);
  for (const auto& m : p.members) p.types.emplace_back(m.size(), 1.0);

  std::mt19937 gen(20240601);
  std::uniform_real_distribution<double> u(-1, 1);
  out.x.resize(kSpecimens, 2 * k + 1);
  for (int i = 0; i < kSpecimens; ++i) {
    const double turn = 0.4 * u(gen), scale = 1 + 0.3 * u(gen);
    const double c = std::cos(turn), sn = std::sin(turn), dx = 3 * u(gen), dy = 3 * u(gen);
    for (Index q = 0; q < k; ++q) {
      const std::size_t qi = static_cast<std::size_t>(q);
      const double slip = q < 8 ? 0.0 : 0.0015 * u(gen);
      Eigen::RowVector2d pt = on_eye[qi] ? eye(s[qi] + 2 * slip) : outline(s[qi] + slip);
      pt += 0.01 * Eigen::RowVector2d(u(gen), u(gen));
      out.x(i, 2 * q) = scale * (c * pt(0) - sn * pt(1)) + dx;
      out.x(i, 2 * q + 1) = scale * (sn * pt(0) + c * pt(1)) + dy;
    }
    out.x(i, 2 * k) = i;
  }
  return out;
}

const Sample& sample() {
  static const Sample s = make_sample();
  return s;
}

void BM_distance_consensus(benchmark::State& state) {
  set_thread_count(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(distance_consensus(sample().x, sample().protocol));
  set_thread_count(0);
  state.counters["per_specimen"] = benchmark::Counter(
      kSpecimens, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_distance_consensus)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two parts of the routine on their own: the plain consensus, and the curve walk alone.
void BM_plain_consensus(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(plain_consensus(sample().x));
}
BENCHMARK(BM_plain_consensus)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_curve_walk(benchmark::State& state) {
  set_thread_count(static_cast<int>(state.range(0)));
  const Consensus plain = plain_consensus(sample().x);
  for (auto _ : state) {
    Matrix x = plain.xpt;
    slide_distance(x, sample().protocol, plain.y);
    benchmark::DoNotOptimize(x.data());
  }
  set_thread_count(0);
}
BENCHMARK(BM_curve_walk)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tav

BENCHMARK_MAIN();
