#pragma once
#include <functional>

namespace tav {

// Runs body(i) for i = 0..n-1 on up to thread_count() threads, which take chunks of indices in
// turn; body must touch only data of its own i. Results therefore never depend on the number
// of threads. The first exception thrown by a body is rethrown on the calling thread after
// all finish; indices not yet started are then skipped. The calling thread calls
// progress_tick() after each index it runs and, while the other threads finish, every few
// milliseconds.
void parallel_for(long n, const std::function<void(long)>& body);

// Threads used by parallel_for on the calling thread: the count set for this thread (a session
// lends its own while one of its actions runs, ThreadCountScope), else TAV_THREADS when set
// (>= 1), else the hardware's count. No result depends on it.
int thread_count();
// Sets the calling thread's count; 0 = back to the default.
void set_thread_count(int n);

// Sets this thread's count while the scope lives (0: it stays as it is); the count before it
// comes back afterwards.
class ThreadCountScope {
 public:
  explicit ThreadCountScope(int n);
  ~ThreadCountScope();
  ThreadCountScope(const ThreadCountScope&) = delete;
  ThreadCountScope& operator=(const ThreadCountScope&) = delete;

 private:
  int previous_;
};

}  // namespace tav
