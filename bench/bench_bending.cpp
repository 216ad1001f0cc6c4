// Bending-energy sliding: one pass of the iterated consensus, the one-pass consensus, and one
// damped_bending_step step against the dense formula, on a synthetic sample of 400 specimens × 120
// points with one closed and two open curves.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <random>

#include "consensus/bending_walk.h"
#include "consensus/consensus.h"
#include "consensus/normalise_rows.h"
#include "platform/parallel.h"
#include "platform/vector_width.h"
#include "sliding/bending_slide.h"

namespace tav {
namespace {

constexpr int kLandmarks = 6, kClosed = 50, kOpen = 32;  // 6 + 50 + 2·30 = 116 points

Eigen::RowVector2d outline(double s) {
  const double a = 2 * std::numbers::pi * s;
  const double r = 1 + 0.25 * std::cos(2 * a) + 0.1 * std::sin(3 * a);
  return {1.3 * r * std::cos(a), r * std::sin(a)};
}

Eigen::RowVector2d inner(double s) {
  const double a = 2 * std::numbers::pi * s;
  return {0.3 + 0.35 * std::cos(a), 0.1 + 0.2 * std::sin(a) + 0.05 * std::cos(2 * a)};
}

// Landmarks on the outline at s = j/6; closed curve -1 of closed_points round the inner shape;
// open curves 1 and 2 of open_points along the outline between landmarks 1-2 and 4-5 (ends on
// the landmarks).
CurveProtocol protocol(int closed_points = kClosed, int open_points = kOpen) {
  CurveProtocol p;
  p.numfull = -1;
  p.numopen = 2;
  std::vector<int> closed, open1{1}, open2{4};
  for (int j = 0; j < closed_points; ++j) closed.push_back(kLandmarks + 1 + j);
  for (int j = 0; j < open_points - 2; ++j) open1.push_back(kLandmarks + closed_points + 1 + j);
  for (int j = 0; j < open_points - 2; ++j)
    open2.push_back(kLandmarks + closed_points + open_points - 1 + j);
  open1.push_back(2);
  open2.push_back(5);
  p.members = {closed, {1, 2, 3, 4, 5, 6}, open1, open2};
  p.types = {std::vector<double>(closed.size(), 1), std::vector<double>(6, 0),
             std::vector<double>(open1.size(), 1), std::vector<double>(open2.size(), 1)};
  return p;
}

Matrix sample(int n, unsigned seed, int closed_points = kClosed, int open_points = kOpen) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  const int k = kLandmarks + closed_points + 2 * (open_points - 2);
  Matrix x(n, 2 * k + 1);
  for (int i = 0; i < n; ++i) {
    const double turn = 0.3 * u(gen), scale = 1 + 0.2 * u(gen);
    const double c = std::cos(turn), sn = std::sin(turn);
    auto put = [&](int p, Eigen::RowVector2d q) {
      q += 0.005 * Eigen::RowVector2d(u(gen), u(gen));
      x(i, 2 * p) = scale * (c * q(0) - sn * q(1)) + u(gen);
      x(i, 2 * p + 1) = scale * (sn * q(0) + c * q(1)) + u(gen);
    };
    int p = 0;
    for (int j = 0; j < kLandmarks; ++j) put(p++, outline(j / 6.0));
    for (int j = 0; j < closed_points; ++j) put(p++, inner((j + 0.3 * u(gen)) / closed_points));
    for (int c2 = 0; c2 < 2; ++c2) {
      const double from = c2 == 0 ? 0.0 : 0.5;
      for (int j = 1; j < open_points - 1; ++j)
        put(p++, outline(from + (j + 0.3 * u(gen)) / ((open_points - 1) * 6.0)));
    }
    x(i, 2 * k) = i;
  }
  return x;
}

void BM_IteratedConsensusOnePass(benchmark::State& state) {
  set_thread_count(static_cast<int>(state.range(0)));
  const CurveProtocol p = protocol();
  const Consensus start = plain_consensus(normalise_rows(sample(400, 1)));
  for (auto _ : state) {
    // The work of one pass: the whole-configuration matrix, the walk, the superimposition.
    Matrix x = start.xpt;
    slide_bending(x, bending_curves(p, start.y, true), 1e-08, 44);
    benchmark::DoNotOptimize(plain_consensus(x));
  }
  set_thread_count(0);
}
BENCHMARK(BM_IteratedConsensusOnePass)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Growth of one pass, on one thread: specimens (100, 400, 1,600; curves of 50, 32, 32 points),
// then points per curve (each of the three curves 20, 40, 80 points; 400 specimens).
void BM_OnePassGrowth(benchmark::State& state) {
  set_thread_count(1);
  const int n = static_cast<int>(state.range(0)), per_curve = static_cast<int>(state.range(1));
  const int closed = per_curve == 0 ? kClosed : per_curve;
  const int open = per_curve == 0 ? kOpen : per_curve;
  const CurveProtocol p = protocol(closed, open);
  const Consensus start = plain_consensus(normalise_rows(sample(n, 1, closed, open)));
  for (auto _ : state) {
    Matrix x = start.xpt;
    slide_bending(x, bending_curves(p, start.y, true), 1e-08, 44);
    benchmark::DoNotOptimize(plain_consensus(x));
  }
  set_thread_count(0);
}
BENCHMARK(BM_OnePassGrowth)
    ->Args({100, 0})
    ->Args({400, 0})
    ->Args({1600, 0})
    ->Args({400, 20})
    ->Args({400, 40})
    ->Args({400, 80})
    ->Unit(benchmark::kMillisecond);

// The results of one pass do not depend on the thread count.
void BM_OnePassThreadsIdentical(benchmark::State& state) {
  const CurveProtocol p = protocol();
  const Consensus start = plain_consensus(normalise_rows(sample(400, 1)));
  double maxdiff = 0;
  for (auto _ : state) {
    Matrix one = start.xpt, two = start.xpt;
    set_thread_count(1);
    slide_bending(one, bending_curves(p, start.y, true), 1e-08, 44);
    set_thread_count(2);
    slide_bending(two, bending_curves(p, start.y, true), 1e-08, 44);
    maxdiff = std::max(maxdiff, (one - two).cwiseAbs().maxCoeff());
  }
  set_thread_count(0);
  state.counters["max_abs_diff"] = maxdiff;
}
BENCHMARK(BM_OnePassThreadsIdentical)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Getconsensusmix2(benchmark::State& state) {
  set_thread_count(static_cast<int>(state.range(0)));
  const CurveProtocol p = protocol();
  const Matrix x = sample(400, 1);
  for (auto _ : state) benchmark::DoNotOptimize(bending_consensus(x, p));
  set_thread_count(0);
}
BENCHMARK(BM_Getconsensusmix2)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

struct StepCase {
  Row target;
  Matrix lfinal;
};

StepCase closed_step_case() {
  const Matrix x = sample(2, 3);
  const Consensus c = plain_consensus(normalise_rows(x));
  const Index q = kClosed;
  Row ref(2 * q), target(2 * q);
  for (Index j = 0; j < 2 * q; ++j) {
    ref(j) = c.y(2 * kLandmarks + j);
    target(j) = c.xpt(1, 2 * kLandmarks + j);
  }
  return {target, bending_energy_matrix(ref)};
}

void BM_Tavrel2(benchmark::State& state) {
  const StepCase s = closed_step_case();
  for (auto _ : state) benchmark::DoNotOptimize(damped_bending_step(s.target, true, s.lfinal));
}
BENCHMARK(BM_Tavrel2)->Unit(benchmark::kMicrosecond);

// Switches the kernels to the width numbered by the benchmark's argument (0 plain, 1 AVX2,
// 2 AVX-512); false (the benchmark skipped) when this processor does not run it.
bool use_width_of(benchmark::State& state, int arg) {
  const auto w = static_cast<VectorWidth>(state.range(arg));
  const auto& all = supported_vector_widths();
  if (std::find(all.begin(), all.end(), w) == all.end()) {
    state.SkipWithError("this processor does not run that vector width");
    return false;
  }
  use_vector_width(w);
  state.SetLabel(vector_width_name(w));
  return true;
}

// One pass of the iterated consensus on one thread at every vector width of the kernels.
void BM_OnePassAtWidth(benchmark::State& state) {
  if (!use_width_of(state, 0)) return;
  set_thread_count(1);
  const CurveProtocol p = protocol();
  const Consensus start = plain_consensus(normalise_rows(sample(400, 1)));
  for (auto _ : state) {
    Matrix x = start.xpt;
    slide_bending(x, bending_curves(p, start.y, true), 1e-08, 44);
    benchmark::DoNotOptimize(plain_consensus(x));
  }
  set_thread_count(0);
  use_vector_width(supported_vector_widths().back());
}
BENCHMARK(BM_OnePassAtWidth)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// One step as the consensus routines take it: energy block and buffers reused; the argument
// is the vector width as in BM_OnePassAtWidth.
void BM_BendingStepClosed50(benchmark::State& state) {
  if (!use_width_of(state, 0)) return;
  const StepCase s = closed_step_case();
  const CurveEnergy energy = curve_energy(s.lfinal);
  SlideWorkspace ws;
  Row moved = s.target;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bending_step(s.target, true, energy, Eigen::VectorXd(), moved, ws));
    benchmark::DoNotOptimize(moved.data());
  }
  use_vector_width(supported_vector_widths().back());
}
BENCHMARK(BM_BendingStepClosed50)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The step as written: dense U, explicit inverse, products left to right.
void BM_Tavrel2DenseFormula(benchmark::State& state) {
  const StepCase s = closed_step_case();
  const Index q = s.target.size() / 2;
  for (auto _ : state) {
    const Matrix u = bending_slide_basis(s.target, true);
    Eigen::VectorXd b(2 * q);
    for (Index p = 0; p < q; ++p) b(p) = s.target(2 * p), b(q + p) = s.target(2 * p + 1);
    const Eigen::VectorXd t =
        -((u.transpose() * s.lfinal * u).inverse() * (u.transpose() * s.lfinal * b));
    const Eigen::VectorXd y1 = b + (u * t) * 0.1;
    Row y(2 * q);
    for (Index p = 0; p < q; ++p) y(2 * p) = y1(p), y(2 * p + 1) = y1(q + p);
    benchmark::DoNotOptimize(y);
  }
}
BENCHMARK(BM_Tavrel2DenseFormula)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tav

BENCHMARK_MAIN();
