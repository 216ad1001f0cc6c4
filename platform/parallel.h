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

// Threads used by parallel_for: TAV_THREADS when set (>= 1), else the hardware's count. One
// setting for the whole process, not per session: it shares out the machine's cores, which all
// sessions share, and no result depends on it.
int thread_count();
void set_thread_count(int n);  // 0 = back to the default

}  // namespace tav
