// Loading a curve protocol of 10,000 and 100,000 rows (open curves of 100 semi-landmarks over
// data of as many points), as "LoadProtocol" does before its run: the rows read and
// recognised, the table checked, the point types and the curve lists built. The same curves as
// a sliders table (three point numbers a row), read and turned into the protocol table. The
// two sizes show the growth: linear when the larger takes ten times as long.
#include <benchmark/benchmark.h>
#include <string>

#include "formats/files.h"
#include "formats/protocol.h"
#include "formats/sliders.h"

namespace {

constexpr int kPerCurve = 100;

std::string protocol_text(int points) {
  std::string s;
  for (int c = 0; c < points / kPerCurve; ++c)
    for (int j = 1; j <= kPerCurve; ++j)
      s += std::to_string(c + 1) + " 0 " + std::to_string(c * kPerCurve + j) + " 1\n";
  return s;
}

// Every point of a curve but its two ends slides between its neighbours.
std::string sliders_table(int points) {
  std::string s = "before,slider,after\n";
  for (int c = 0; c < points / kPerCurve; ++c)
    for (int j = 2; j < kPerCurve; ++j) {
      const int p = c * kPerCurve + j;
      s += std::to_string(p - 1) + "," + std::to_string(p) + "," + std::to_string(p + 1) + "\n";
    }
  return s;
}

void BM_LoadProtocol(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0));
  const std::string text = protocol_text(points);
  for (auto _ : state) {
    const tav::Matrix p = tav::read_data_text("p.txt", text).x;
    tav::check_protocol(p, "p.txt", points);
    const tav::Row types = tav::protocol_point_types(p, points, tav::Row(0));
    const tav::CurveProtocol curves = tav::protocol_curves(p, [](int) {});
    benchmark::DoNotOptimize(types.data());
    benchmark::DoNotOptimize(curves.members.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * points);
}
BENCHMARK(BM_LoadProtocol)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SlidersTable(benchmark::State& state) {
  const int points = static_cast<int>(state.range(0));
  const std::string t = sliders_table(points);
  for (auto _ : state) {
    const bool sliders = tav::is_sliders_table(t);
    const tav::Matrix p =
        tav::protocol_from_sliders(tav::read_sliders("s.csv", t), points, "s.csv");
    benchmark::DoNotOptimize(sliders);
    benchmark::DoNotOptimize(p.data());
  }
}
BENCHMARK(BM_SlidersTable)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
