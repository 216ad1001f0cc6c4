// The cost of the progress ticks on the sample of scripts/make_example.py, 5,000 specimens ×
// 200 points: `python3 scripts/make_example.py DIR 5000 160 36`, then TAV_BENCH_SAMPLE=DIR.
// Each work is timed with nobody listening (argument 0) and with the listener a window action
// installs (argument 1): the engine's ActionScope, which passes every tick through the run
// listeners to the backend, whose serve_events looks at the clock and serves events every
// 40 ms, as the Qt backend does (here it serves none: what is measured is the ticking itself).
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include "consensus/consensus.h"
#include "engine/action_scope.h"
#include "engine/session.h"
#include "formats/files.h"
#include "formats/protocol.h"
#include "platform/console.h"

namespace {

class ClockBackend : public tav::ScriptedBackend {
 public:
  void serve_events() override {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(40)) return;
    last_ = now;
    ++served;
  }
  long served = 0;

 private:
  std::chrono::steady_clock::time_point last_{};
};

struct Sample {
  std::string data;
  tav::Matrix x;
  tav::CurveProtocol curves;
};

const Sample& sample() {
  static const Sample s = [] {
    const char* dir = std::getenv("TAV_BENCH_SAMPLE");
    if (!dir) throw std::runtime_error("set TAV_BENCH_SAMPLE to a folder of make_example.py");
    Sample out;
    out.data = std::string(dir) + "/shells.txt";
    out.x = tav::read_data_file(out.data).x;
    out.curves = tav::protocol_curves(
        tav::read_data_file(std::string(dir) + "/shells_protocol.txt").x, [](int) {});
    return out;
  }();
  return s;
}

// Runs `work` in every iteration, listened to as in the window when the argument is 1.
template <class Work>
void timed(benchmark::State& state, Work work) {
  const Sample& s = sample();
  ClockBackend backend;
  tav::Session session(&backend);
  tav::ConsoleCapture quiet;
  std::optional<tav::ActionScope> listening;
  if (state.range(0) == 1) listening.emplace(session, "LoadProtocol");
  for (auto _ : state) benchmark::DoNotOptimize(work(s));
  state.counters["served"] = static_cast<double>(backend.served);
}

void BM_ReadSample(benchmark::State& state) {
  timed(state, [](const Sample& s) { return tav::read_data_file(s.data).x.rows(); });
}
BENCHMARK(BM_ReadSample)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DistanceRun(benchmark::State& state) {
  timed(state, [](const Sample& s) { return tav::distance_consensus(s.x, s.curves).y(0); });
}
BENCHMARK(BM_DistanceRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One-pass bending energy on the first 500 specimens (the whole sample takes minutes).
void BM_OnePassBending500(benchmark::State& state) {
  timed(state,
        [](const Sample& s) { return tav::bending_consensus(s.x.topRows(500), s.curves).y(0); });
}
BENCHMARK(BM_OnePassBending500)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
