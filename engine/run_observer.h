#pragma once
// Those who follow a consensus run: the console, the drawing, the window's progress line and
// Stop, the batch tool's pass count. Each hears every pass of the iterated run (the
// IterationObserver calls), its convergence, and the messages the run has for the user; the
// listeners of a session also hear the ticks of its actions' long computations, within a pass
// and while a sample is read.
#include <memory>
#include <string>
#include <vector>

#include "consensus/consensus.h"
#include "platform/progress.h"

namespace tav {

class RunObserver : public IterationObserver, public ProgressListener {
 public:
  // The computation goes on (often: keep it cheap, and leave the run's data alone).
  void tick() override {}
  // A message for the user (a box in the window, a line of the batch tool).
  virtual void message(const std::string& text) { (void)text; }
  // Asked after every pass of the iterated run: true ends the run after it (the window's Stop).
  virtual bool stop_wanted() { return false; }
};

// Thrown through the consensus routine when a listener wants the pass just done to be the last:
// the run ends, stopped by the user, the results from before it kept. Not an error.
struct RunStopped {
  int pass = 0;
};

// Tells every listener, in the order added, what the run tells it; after a pass that some
// listener wants to be the last, ends the run by throwing RunStopped.
class RunObservers : public RunObserver {
 public:
  void add(RunObserver& listener) { listeners_.push_back(&listener); }

  void before_superimpose() override;
  void pass_measured(double devref, int pass) override;
  void pass_done(const Matrix& x, const Row& xref, int pass) override;
  void not_converged(const std::string& text) override;
  void settled(const std::string& text) override;
  void message(const std::string& text) override;
  void tick() override;

 private:
  std::vector<RunObserver*> listeners_;
};

}  // namespace tav
