#pragma once
// The pass loop of the iterated consensus: slide against the consensus, superimpose, damp.
#include <functional>

#include "consensus/consensus.h"

namespace tav {

// Slides the superimposed sample x (rows in place) against the consensus xref.
using SampleSlider = std::function<void(Matrix& x, const Row& xref)>;

// Starting from a superimposed sample and its consensus, repeats while the squared change of
// the consensus over its 2k coordinates (from a row of ones before the first pass) exceeds
// 1e-05: slide, superimpose, and move the consensus 0.25 (change above 0.001), 0.5 (above
// 1e-06) or all the way to the new one, by the change measured at the start of the pass. The
// observer sees every pass; after the 100th it is told "Failure to converge after 100
// iterations" and the results stand as they are.
Consensus iterate_damped(Consensus start, const SampleSlider& slide, IterationObserver& observer);

}  // namespace tav
