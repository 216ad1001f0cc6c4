// Reading a data file: 5,000 specimens × 200 points written with "%g" (about 13 MB), as
// read_data_file does it (read once, recognise, parse the rows in one pass), and the one-pass row
// parser alone on the bytes already in memory. Bytes per second are the file's size.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

#include "formats/files.h"
#include "formats/input.h"
#include "platform/format.h"

namespace {

std::string sample_text() {
  std::mt19937 gen(7);
  std::normal_distribution<double> coordinate(0, 50);
  std::string text;
  for (int i = 0; i < 5000; ++i) {
    for (int v = 0; v < 400; ++v) text += tav::sprintf_m("%g ", {tav::Value(coordinate(gen))});
    text += std::to_string(20230815000 + i) + "\n";
  }
  return text;
}

const std::string& text() {
  static const std::string t = sample_text();
  return t;
}

const std::string& file() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() /
                           ("tavrel6_bench_rows_" + std::to_string(::getpid()) + ".txt"))
                              .string();
    std::ofstream(p, std::ios::binary) << text();
    return p;
  }();
  return path;
}

void BM_ParseRowsInMemory(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tav::read_rows("bench", text()).values.data());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text().size()));
}
BENCHMARK(BM_ParseRowsInMemory)->Unit(benchmark::kMillisecond);

void BM_DloadFile(benchmark::State& state) {
  const std::string& path = file();
  for (auto _ : state) benchmark::DoNotOptimize(tav::read_data_file(path).x.data());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text().size()));
}
BENCHMARK(BM_DloadFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::remove(file().c_str());
  return 0;
}
