// Cost of one superimposition pass of the plain consensus on 1,000 specimens × 200 points,
// against a pass that only sums the same matrix.
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

#include "consensus/consensus.h"
#include "consensus/procrustes_pass.h"
#include "geometry/procrustes.h"

namespace {

using tav::Index;
using tav::Matrix;

constexpr Index kSpecimens = 1000, kPoints = 200;

// A wavy outline of kPoints points, each specimen turned, scaled, shifted and jittered.
Matrix sample() {
  std::mt19937 gen(42);
  std::normal_distribution<double> jitter(0, 0.02);
  std::uniform_real_distribution<double> angle(-3.1, 3.1), scale(0.5, 2), shift(-10, 10);
  Matrix x(kSpecimens, 2 * kPoints + 1);
  for (Index i = 0; i < kSpecimens; ++i) {
    const double a = angle(gen), s = scale(gen), dx = shift(gen), dy = shift(gen);
    for (Index p = 0; p < kPoints; ++p) {
      const double t = 2 * 3.14159265358979 * double(p) / kPoints;
      const double u = (1 + 0.3 * std::cos(3 * t)) * std::cos(t) + jitter(gen);
      const double v = 0.7 * (1 + 0.2 * std::sin(5 * t)) * std::sin(t) + jitter(gen);
      x(i, 2 * p) = s * (std::cos(a) * u - std::sin(a) * v) + dx;
      x(i, 2 * p + 1) = s * (std::sin(a) * u + std::cos(a) * v) + dy;
    }
    x(i, 2 * kPoints) = double(i);
  }
  return x;
}

// The specimens as the pass sees them: stacked columns, centred and of unit size.
Matrix working_copy() { return tav::detail::normalised_stacked(sample(), kPoints); }

void BM_SumOnly(benchmark::State& state) {
  const Matrix w = working_copy();
  for (auto _ : state) benchmark::DoNotOptimize(w.sum());
  state.SetBytesProcessed(state.iterations() * w.size() * Index(sizeof(double)));
}
BENCHMARK(BM_SumOnly)->Unit(benchmark::kMicrosecond);

void BM_ConsensusPass(benchmark::State& state) {
  const Matrix w = working_copy();
  const Eigen::VectorXd ref = w.col(0);
  Eigen::VectorXd sum(w.rows());
  std::vector<tav::detail::Turn> turns(static_cast<size_t>(w.cols()));
  for (auto _ : state) {
    tav::detail::best_turns_and_sum(w, ref, turns, sum);
    benchmark::DoNotOptimize(sum.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * w.size() * Index(sizeof(double)));
}
BENCHMARK(BM_ConsensusPass)->Unit(benchmark::kMicrosecond);

// For comparison: the same pass done row by row on the specimen matrix as it is read (each
// specimen strided across its columns), turning every row with the angle itself.
void BM_RowLayoutPass(benchmark::State& state) {
  Matrix x =
      tav::detail::interleaved_rows(working_copy(), std::vector<tav::detail::Turn>(kSpecimens),
                                    Eigen::VectorXd::Zero(kSpecimens));
  const Eigen::RowVectorXd ref = x.row(0);
  Eigen::RowVectorXd mean(x.cols());
  for (auto _ : state) {
    for (Index i = 0; i < x.rows(); ++i) {
      double ct = 0, st = 0;
      for (Index p = 0; p < kPoints; ++p) {
        const double X = x(i, 2 * p), Y = x(i, 2 * p + 1);
        ct += ref(2 * p) * X + ref(2 * p + 1) * Y;
        st += X * ref(2 * p + 1) - Y * ref(2 * p);
      }
      const double theta = std::atan2(st, ct), c = std::cos(theta), s = std::sin(theta);
      for (Index p = 0; p < kPoints; ++p) {
        const double X = x(i, 2 * p), Y = x(i, 2 * p + 1);
        x(i, 2 * p) = X * c - Y * s;
        x(i, 2 * p + 1) = X * s + Y * c;
      }
    }
    mean = x.colwise().mean();
    benchmark::DoNotOptimize(mean.data());
  }
}
BENCHMARK(BM_RowLayoutPass)->Unit(benchmark::kMicrosecond);

// The whole routine (copy, normalisation, every pass, results) per pass made.
void BM_GetconsensusPerPass(benchmark::State& state) {
  const Matrix x = sample();
  int passes = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tav::detail::plain_consensus_passes(x, 10000, &passes));
  }
  state.counters["passes"] = passes;
  // Seconds per pass, shown with an SI prefix (m = milliseconds, u = microseconds).
  state.counters["per_pass"] =
      benchmark::Counter(double(state.iterations()) * passes,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GetconsensusPerPass)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
