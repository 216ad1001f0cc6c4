#include "consensus/damped_iteration.h"

#include <optional>
#include <string>

#include "consensus/turn_onto.h"
#include "platform/format.h"

namespace tav {
namespace {

constexpr double kTolerance = 1e-05;
constexpr int kMaxPasses = 100;
// Passes in a row whose change is larger than the smallest so far before the run ends.
constexpr int kPassesWithoutShrinking = 3;

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

// The pass with the smallest change so far, its results, and how many passes since.
class SmallestChange {
 public:
  // Notes a pass; true when the change has now failed to shrink below the smallest for
  // kPassesWithoutShrinking passes in a row.
  bool stopped_shrinking(double devref, int pass, const Consensus& results) {
    if (!best_ || devref < devref_) {
      best_ = results;
      devref_ = devref;
      pass_ = pass;
      since_ = 0;
      return false;
    }
    return ++since_ >= kPassesWithoutShrinking;
  }
  Consensus take() { return std::move(*best_); }
  std::string message() const {
    const std::string pass = std::to_string(pass_);
    return "the consensus settled at pass " + pass + " with a change of " + g_text(devref_) +
           " per pass, above the tolerance 1e-5; later passes only moved semi-landmarks along "
           "their curves; the results of pass " +
           pass + " are kept";
  }

 private:
  std::optional<Consensus> best_;
  double devref_ = 0;
  int pass_ = 0, since_ = 0;
};

}  // namespace

Row whole_change(const Row&, const Row& proposed) { return proposed; }

Consensus iterate_damped(Consensus cur, const SampleSlider& slide, const ConsensusHold& hold,
                         IterationObserver& observer) {
  SmallestChange smallest;
  for (int pass = 1;; ++pass) {
    slide(cur.xpt, cur.y);
    observer.before_superimpose();
    Consensus sup = plain_consensus(cur.xpt);
    // The plain consensus comes out turned the way the sample's first specimen lies; turned
    // back onto the pass's reference, with the sample, its change is a change of shape alone
    // and the run does not depend on the order of the specimens.
    turn_with_sample_onto(sup.y, sup.xpt, cur.y);
    const Row held = hold(cur.y, sup.y);
    // Measured before damping: the damped reference moves only part of the way, so its change
    // would understate the consensus's real one and end the run early.
    const double devref = squared_change(cur.y, held);
    observer.pass_measured(devref, pass);
    const bool converged = devref <= kTolerance, last = pass >= kMaxPasses;
    const bool settled = !converged && smallest.stopped_shrinking(devref, pass, sup);
    const Row next = converged || last || settled ? sup.y : damped(cur.y, held, devref);
    cur = {next, std::move(sup.xpt)};
    observer.pass_done(cur.xpt, cur.y, pass);
    if (converged) break;
    if (settled) {
      observer.settled(smallest.message());
      return smallest.take();
    }
    if (last) {
      observer.not_converged("Failure to converge after 100 iterations");
      break;
    }
  }
  return cur;
}

}  // namespace tav
