#include "consensus/damped_iteration.h"

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
  Row oldref = Row::Ones(cur.y.size());
  int itercount2 = 0;
  while (squared_change(oldref, cur.y) > ctol) {
    const double devref = squared_change(oldref, cur.y);
    ++itercount2;
    observer.pass_started(devref, itercount2);
    oldref = cur.y;
    slide(cur.xpt, cur.y);
    observer.before_superimpose();
    const Consensus sup = getconsensus(cur.xpt);
    cur.xpt = sup.xpt;
    cur.y = damped(cur.y, sup.y, devref);
    observer.pass_done(cur.xpt, cur.y, itercount2);
    if (itercount2 >= kMaxPasses) {
      observer.not_converged("Failure to converge after 100 iterations");
      break;
    }
  }
  return cur;
}

}  // namespace tav
