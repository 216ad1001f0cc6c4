#include "platform/parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/progress.h"

namespace tav {
namespace {
thread_local int forced_threads = 0;

// How often the calling thread ticks while it waits for the others' last chunks.
constexpr std::chrono::milliseconds kTickWhileWaiting{5};
}  // namespace

int thread_count() {
  if (forced_threads > 0) return forced_threads;
  if (const char* env = std::getenv("TAV_THREADS")) {
    const int n = std::atoi(env);
    if (n >= 1) return n;
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

void set_thread_count(int n) { forced_threads = n; }

ThreadCountScope::ThreadCountScope(int n) : previous_(forced_threads) {
  if (n > 0) forced_threads = n;
}

ThreadCountScope::~ThreadCountScope() { forced_threads = previous_; }

void parallel_for(long n, const std::function<void(long)>& body) {
  const long threads = std::min<long>(thread_count(), n);
  if (threads <= 1) {
    for (long i = 0; i < n; ++i) {
      body(i);
      progress_tick();
    }
    return;
  }
  // Threads take small chunks in turn, so that a core slowed by other work takes fewer of
  // them; which thread runs an index never changes what body(i) computes. The calling thread
  // ticks after each of its indices, and while it waits for the others to finish theirs.
  const long chunk = std::max<long>(1, n / (threads * 16));
  std::atomic<long> next{0};
  std::exception_ptr first;
  std::mutex guard;
  std::condition_variable finished;
  long others_running = threads - 1;  // under guard
  const auto keep_first = [&] {
    std::lock_guard<std::mutex> lock(guard);
    if (!first) first = std::current_exception();
    next = n;  // the others stop after their current chunk
  };
  const auto run = [&](bool calling) {
    try {
      for (long begin = next.fetch_add(chunk); begin < n; begin = next.fetch_add(chunk))
        for (long i = begin; i < std::min(n, begin + chunk); ++i) {
          body(i);
          if (calling) progress_tick();
        }
    } catch (...) {
      keep_first();
    }
  };
  std::vector<std::thread> pool;
  for (long t = 1; t < threads; ++t)
    pool.emplace_back([&] {
      run(false);
      std::lock_guard<std::mutex> lock(guard);
      --others_running;
      finished.notify_one();
    });
  run(true);
  if (progress_listened()) {
    std::unique_lock<std::mutex> lock(guard);
    while (!finished.wait_for(lock, kTickWhileWaiting, [&] { return others_running == 0; })) {
      lock.unlock();
      try {
        progress_tick();
      } catch (...) {
        keep_first();
      }
      lock.lock();
    }
  }
  for (auto& th : pool) th.join();
  if (first) std::rethrow_exception(first);
}

}  // namespace tav
