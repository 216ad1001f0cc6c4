#pragma once
// The settling loop of the sliding consensus routines: a damped slide step is repeated on its
// own output until two successive results agree.
#include <utility>

#include "platform/matrix.h"

namespace tav {

// Settles one specimen's curve.
// step(from, to): one slide step from the curve row `from` into `to` (same length; `to` is a
// separate buffer, already sized). It is called on `start`, then on its result (two calls
// always), then again on the latest result while BOTH hold, tested in this order:
//   1. the Euclidean norm of (previous - latest) > tol_per_element × start.size(), and
//   2. fewer than max_extra further calls have been made.
// So step runs at most 2 + max_extra times. The distance test comes first: a not-a-number
// result ends the loop at once (the comparison is false) and is returned for the caller to
// judge. Returns the latest result, also when the count ends the loop. No allocation besides
// the two curve buffers.
// Distance slide: tol_per_element 1e-06, max_extra 30 (at most 32 calls). Bending-energy
// slide: 1e-08 and 44 (a count starting at 1 and stopping at 45: at most 46 calls).
template <class Step>
Row settle(Step&& step, const Row& start, double tol_per_element, int max_extra) {
  Row previous(start.size()), latest(start.size());
  step(start, previous);
  step(previous, latest);
  const double tol = tol_per_element * static_cast<double>(start.size());
  for (int extra = 0; (previous - latest).norm() > tol && extra < max_extra; ++extra) {
    previous.swap(latest);
    step(previous, latest);
  }
  return latest;
}

}  // namespace tav
