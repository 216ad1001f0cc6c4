#include "platform/parallel.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tav {
namespace {
int forced_threads = 0;
}

int thread_count() {
  if (forced_threads > 0) return forced_threads;
  if (const char* env = std::getenv("TAV_THREADS")) {
    const int n = std::atoi(env);
    if (n >= 1) return n;
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

void set_thread_count(int n) { forced_threads = n; }

void parallel_for(long n, const std::function<void(long)>& body) {
  const long threads = std::min<long>(thread_count(), n);
  if (threads <= 1) {
    for (long i = 0; i < n; ++i) body(i);
    return;
  }
  std::exception_ptr first;
  std::mutex guard;
  auto run_block = [&](long begin, long end) {
    try {
      for (long i = begin; i < end; ++i) body(i);
    } catch (...) {
      std::lock_guard<std::mutex> lock(guard);
      if (!first) first = std::current_exception();
    }
  };
  std::vector<std::thread> pool;
  const long block = (n + threads - 1) / threads;
  for (long t = 1; t < threads; ++t)
    pool.emplace_back(run_block, std::min(n, t * block), std::min(n, (t + 1) * block));
  run_block(0, std::min(n, block));
  for (auto& th : pool) th.join();
  if (first) std::rethrow_exception(first);
}

}  // namespace tav
