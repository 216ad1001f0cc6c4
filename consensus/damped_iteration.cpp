#include "consensus/damped_iteration.h"

#include "consensus/turn_onto.h"

namespace tav {
namespace {

// Squared change of the consensus over its 2k coordinates (the trailing value left out).
double squared_change(const Row& a, const Row& b) {
  const Index n = a.size() - 1;
  return (a.head(n) - b.head(n)).squaredNorm();
}

// The new consensus moves only part of the way while the consensus still changes much.
Row damped(const Row& xref, const Row& xref2, double devref) {
  if (devref > 0.001) return 0.75 * xref + 0.25 * xref2;
  if (devref > 1e-06) return 0.5 * xref + 0.5 * xref2;
  return xref2;
}

}  // namespace

Consensus iterate_damped(Consensus cur, const SampleSlider& slide, IterationObserver& observer) {
  constexpr double ctol = 1e-05;
  constexpr int kMaxPasses = 100;
  for (int itercount2 = 1;; ++itercount2) {
    slide(cur.xpt, cur.y);
    observer.before_superimpose();
    Consensus sup = getconsensus(cur.xpt);
    // The plain consensus comes out turned the way the sample's first specimen lies; turned
    // back onto the pass's reference, with the sample, its change is a change of shape alone
    // and the run does not depend on the order of the specimens.
    turn_with_sample_onto(sup.y, sup.xpt, cur.y);
    // Measured before damping: the damped reference moves only part of the way, so its change
    // would understate the consensus's real one and end the run early.
    const double devref = squared_change(cur.y, sup.y);
    observer.pass_measured(devref, itercount2);
    const bool converged = devref <= ctol, last = itercount2 >= kMaxPasses;
    const Row next = converged || last ? sup.y : damped(cur.y, sup.y, devref);
    cur = {next, std::move(sup.xpt)};
    observer.pass_done(cur.xpt, cur.y, itercount2);
    if (converged) break;
    if (last) {
      observer.not_converged("Failure to converge after 100 iterations");
      break;
    }
  }
  return cur;
}

}  // namespace tav
