#include "platform/parallel.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

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

}  // namespace
}  // namespace tav
