// The least a whole run must do with a sample file: read it once, parse every number, sum the
// columns, and write every row back at 6 significant digits. A whole tavrel6-batch run is
// measured against this program's CPU time.
//
//   bench_minimal_io IN OUT        one such run on a file (time it as a whole process)
//   bench_minimal_io [--benchmark_...]   the same work on a generated sample in memory
#include <benchmark/benchmark.h>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Parsed {
  std::vector<double> values;  // row after row
  std::size_t rows = 0, cols = 0;
  std::vector<double> sums;  // per column
};

bool blank(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }

// Every number of the text, rows by line ends; the column sums of the rows. A row whose width
// differs from the first row's, or text that is not a number, ends the parse with a message.
Parsed parse(std::string_view text) {
  Parsed p;
  const char* s = text.data();
  const char* end = s + text.size();
  std::size_t in_row = 0;
  while (s < end) {
    while (s < end && blank(*s)) ++s;
    if (s == end) break;
    if (*s == '\n') {
      ++s;
      if (in_row == 0) continue;
      if (p.rows == 0) p.cols = in_row, p.sums.assign(in_row, 0.0);
      if (in_row != p.cols)
        throw std::runtime_error("row " + std::to_string(p.rows + 1) + " has another width");
      ++p.rows, in_row = 0;
      continue;
    }
    double v;
    const auto r = std::from_chars(s, end, v);
    if (r.ec != std::errc())
      throw std::runtime_error("not a number in row " + std::to_string(p.rows + 1));
    p.values.push_back(v);
    s = r.ptr, ++in_row;
  }
  if (in_row) {
    if (p.rows == 0) p.cols = in_row, p.sums.assign(in_row, 0.0);
    if (in_row != p.cols) throw std::runtime_error("last row has another width");
    ++p.rows;
  }
  for (std::size_t i = 0; i < p.rows; ++i)
    for (std::size_t j = 0; j < p.cols; ++j) p.sums[j] += p.values[i * p.cols + j];
  return p;
}

// The rows as text: numbers at 6 significant digits, separated by one blank.
std::string format(const Parsed& p) {
  std::string out;
  out.reserve(p.values.size() * 13);
  char buf[32];
  for (std::size_t i = 0; i < p.rows; ++i) {
    for (std::size_t j = 0; j < p.cols; ++j) {
      const auto r = std::to_chars(buf, buf + sizeof buf, p.values[i * p.cols + j],
                                   std::chars_format::general, 6);
      if (j) out += ' ';
      out.append(buf, r.ptr);
    }
    out += '\n';
  }
  return out;
}

std::string read_whole(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot open ") + path);
  std::ostringstream ss;
  ss << in.rdbuf();
  return std::move(ss).str();
}

int run_once(const char* in_path, const char* out_path) {
  try {
    const std::string text = read_whole(in_path);
    const Parsed p = parse(text);
    const std::string out = format(p);
    std::FILE* f = std::fopen(out_path, "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0)
      throw std::runtime_error(std::string("cannot write ") + out_path);
    double total = 0;
    for (double s : p.sums) total += s;
    std::printf("%zu rows, %zu columns, sum of all %.17g\n", p.rows, p.cols, total);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_minimal_io: %s: %s\n", in_path, e.what());
    return 1;
  }
}

// A sample file's text: 1,000 specimens × 200 points and a trailing value, 4 decimals.
std::string sample_text() {
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(-250, 250);
  std::string text;
  char buf[32];
  for (int i = 0; i < 1000; ++i) {
    for (int j = 0; j < 401; ++j) {
      const int n = std::snprintf(buf, sizeof buf, j ? " %.4f" : "%.4f", u(gen));
      text.append(buf, static_cast<std::size_t>(n));
    }
    text += '\n';
  }
  return text;
}

void BM_ParseSum(benchmark::State& state) {
  const std::string text = sample_text();
  for (auto _ : state) benchmark::DoNotOptimize(parse(text).sums.data());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseSum)->Unit(benchmark::kMillisecond);

void BM_Format(benchmark::State& state) {
  const Parsed p = parse(sample_text());
  for (auto _ : state) benchmark::DoNotOptimize(format(p).data());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(p.values.size()));
}
BENCHMARK(BM_Format)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && argv[1][0] != '-') return run_once(argv[1], argv[2]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
