// The sliding runs tick while they work, so that a window can serve its events within a pass.
// Whoever listens, and on however many threads the run works, the numbers stay the same to
// the last bit.
#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <vector>

#include "consensus/consensus.h"
#include "consensus/sample_fixture.h"
#include "platform/parallel.h"
#include "platform/progress.h"

namespace tav {
namespace {

// A listener that takes its time and works with memory of its own, as a window serving its
// events does.
class BusyListener : public ProgressListener {
 public:
  void tick() override {
    ++ticks;
    scratch.assign(4096, static_cast<double>(ticks));
    if (ticks % 5 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
  }
  int ticks = 0;
  std::vector<double> scratch;
};

struct Runs {
  Consensus distance, one_pass, iterated;
};

Runs all_runs(const Matrix& x, const CurveProtocol& p) {
  IterationObserver quiet;
  return {distance_consensus(x, p), bending_consensus(x, p),
          iterated_bending_consensus(x, p, quiet)};
}

void expect_same_bits(const Consensus& a, const Consensus& b) {
  ASSERT_EQ(a.xpt.rows(), b.xpt.rows());
  ASSERT_EQ(a.y.size(), b.y.size());
  EXPECT_TRUE(a.xpt == b.xpt);
  EXPECT_TRUE(a.y == b.y);
}

TEST(ProgressTicks, SlidingRunsGiveTheSameBitsWithAndWithoutAListenerOnOneAndTwoThreads) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 48, 0.03, 11);
  set_thread_count(1);
  const Runs quiet_one_thread = all_runs(x, d.protocol);
  for (const int threads : {1, 2}) {
    for (const bool listened : {false, true}) {
      SCOPED_TRACE(std::to_string(threads) + (listened ? " threads, listened" : " threads"));
      set_thread_count(threads);
      BusyListener listener;
      std::optional<ProgressScope> listening;
      if (listened) listening.emplace(listener);
      const Runs runs = all_runs(x, d.protocol);
      expect_same_bits(runs.distance, quiet_one_thread.distance);
      expect_same_bits(runs.one_pass, quiet_one_thread.one_pass);
      expect_same_bits(runs.iterated, quiet_one_thread.iterated);
      if (listened) {
        EXPECT_GT(listener.ticks, 48);  // every specimen of every slide, at least
      }
    }
  }
  set_thread_count(0);
}

}  // namespace
}  // namespace tav
