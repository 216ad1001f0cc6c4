#include "engine/run_observer.h"

namespace tav {

void RunObservers::before_superimpose() {
  for (RunObserver* l : listeners_) l->before_superimpose();
}

void RunObservers::pass_measured(double devref, int pass) {
  for (RunObserver* l : listeners_) l->pass_measured(devref, pass);
}

void RunObservers::pass_done(const Matrix& x, const Row& xref, int pass) {
  bool stop = false;
  for (RunObserver* l : listeners_) {
    l->pass_done(x, xref, pass);
    stop = l->stop_wanted() || stop;
  }
  if (stop) throw RunStopped{pass};
}

void RunObservers::not_converged(const std::string& text) {
  for (RunObserver* l : listeners_) l->not_converged(text);
}

void RunObservers::settled(const std::string& text) {
  for (RunObserver* l : listeners_) l->settled(text);
}

void RunObservers::message(const std::string& text) {
  for (RunObserver* l : listeners_) l->message(text);
}

void RunObservers::tick() {
  for (RunObserver* l : listeners_) l->tick();
}

}  // namespace tav
