#pragma once
// A long computation's sign of life. The sliding walks (through parallel_for, on the thread that
// called it) and the readers of a sample (every block of lines) call progress_tick(); whoever
// listens on that thread hears it, for instance the window, which serves its events meanwhile.
// Nobody listens on the worker threads. Without a listener a tick costs a thread-local read.
// A listener must leave the computation's data alone, so that its numbers are the same whether
// anybody listens or not.
namespace tav {

class ProgressListener {
 public:
  virtual ~ProgressListener() = default;
  virtual void tick() = 0;
};

// Tells this thread's listener, if any, that the computation is still going.
void progress_tick();
// Whether this thread has a listener (a computation may then tick while it waits).
bool progress_listened();

// Makes `listener` hear this thread's ticks until the scope ends; the listener before it hears
// them again afterwards.
class ProgressScope {
 public:
  explicit ProgressScope(ProgressListener& listener);
  ~ProgressScope();
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  ProgressListener* previous_;
};

}  // namespace tav
