#include "platform/parallel.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/progress.h"

namespace tav {
namespace {

TEST(ParallelFor, RunsEveryIndexOnceForAnyThreadCount) {
  for (const int threads : {1, 2, 3, 8})
    for (const long n : {0L, 1L, 5L, 47L, 1000L}) {
      set_thread_count(threads);
      std::vector<int> runs(static_cast<std::size_t>(n), 0);
      parallel_for(n, [&](long i) { ++runs[static_cast<std::size_t>(i)]; });
      for (long i = 0; i < n; ++i)
        EXPECT_EQ(runs[static_cast<std::size_t>(i)], 1) << threads << " threads, n " << n;
    }
  set_thread_count(0);
}

TEST(ParallelFor, RethrowsABodysErrorOnTheCallingThread) {
  for (const int threads : {1, 2}) {
    set_thread_count(threads);
    EXPECT_THROW(parallel_for(100,
                              [](long i) {
                                if (i == 60) throw std::runtime_error("specimen 61");
                              }),
                 std::runtime_error);
  }
  set_thread_count(0);
}

// Counts the ticks it hears and the threads they come from.
class TickCount : public ProgressListener {
 public:
  void tick() override {
    ++ticks;
    threads.insert(std::this_thread::get_id());
  }
  int ticks = 0;
  std::set<std::thread::id> threads;
};

TEST(ParallelFor, TicksReachTheCallingThreadsListenerOfTheInnermostScopeOnly) {
  const auto work = [](long) { std::this_thread::sleep_for(std::chrono::microseconds(200)); };
  for (const int threads : {1, 2}) {
    SCOPED_TRACE(threads);
    set_thread_count(threads);
    TickCount outer, inner;
    {
      const ProgressScope listening(outer);
      {
        const ProgressScope nested(inner);
        parallel_for(64, work);
      }
      EXPECT_EQ(outer.ticks, 0);
      parallel_for(8, work);
    }
    EXPECT_FALSE(progress_listened());
    parallel_for(8, work);  // nobody listens
    progress_tick();
    if (threads == 1) {
      EXPECT_EQ(inner.ticks, 64);  // one after every index
      EXPECT_EQ(outer.ticks, 8);
    } else {
      EXPECT_GE(inner.ticks, 1);
      EXPECT_GE(outer.ticks, 1);
    }
    const std::set<std::thread::id> calling = {std::this_thread::get_id()};
    EXPECT_EQ(inner.threads, calling);
    EXPECT_EQ(outer.threads, calling);
  }
  set_thread_count(0);
}

}  // namespace
}  // namespace tav
