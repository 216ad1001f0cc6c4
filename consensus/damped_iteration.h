#pragma once
// The pass loop of the iterated consensus: slide against the consensus, superimpose, hold the
// consensus's spacing along its curves, damp.
#include <functional>

#include "consensus/consensus.h"

namespace tav {

// Slides the superimposed sample x (rows in place) against the consensus xref.
using SampleSlider = std::function<void(Matrix& x, const Row& xref)>;

// The consensus a pass keeps: from the pass's reference and the mean of its superimposed
// sample (turned onto the reference), centred and of unit size.
using ConsensusHold = std::function<Row(const Row& reference, const Row& proposed)>;

// Keeps the whole change of the consensus: the pass's mean as it is.
Row whole_change(const Row& reference, const Row& proposed);

// Starting from a superimposed sample and its consensus, repeats: slide against the reference,
// superimpose (new mean xref2, turned with the sample onto the pass's reference), hold
// (xref3 = hold(reference, xref2)), measure devref = the squared change from the pass's reference
// to xref3 over the 2k coordinates. The run ends:
// - converged, when devref <= 1e-05: it returns that pass's xref2 and the sample superimposed
//   onto it;
// - settled, when three passes in a row measure a devref larger than the smallest so far: the
//   change has stopped shrinking above the tolerance. It returns the xref2 and the sample of
//   the pass with the smallest devref, and tells the observer so (settled);
// - at the pass limit, after the 100th pass: it returns that pass's xref2 and sample, and the
//   observer is told "Failure to converge after 100 iterations".
// Otherwise the next pass slides against the reference moved 0.25 (devref above 0.001), 0.5
// (above 1e-06) or all the way towards xref3.
Consensus iterate_damped(Consensus start, const SampleSlider& slide, const ConsensusHold& hold,
                         IterationObserver& observer);

}  // namespace tav
