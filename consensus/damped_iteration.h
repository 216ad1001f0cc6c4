#pragma once
// The pass loop of the iterated consensus: slide against the consensus, superimpose, damp.
#include <functional>

#include "consensus/consensus.h"

namespace tav {

// Slides the superimposed sample x (rows in place) against the consensus xref.
using SampleSlider = std::function<void(Matrix& x, const Row& xref)>;

// Starting from a superimposed sample and its consensus, repeats: slide against the reference,
// superimpose (new consensus xref2, turned with the sample onto the pass's reference), measure
// devref = the squared change from the pass's reference to xref2 over the 2k coordinates. The run
// ends when devref <= 1e-05, or after the 100th pass (the observer is told "Failure to converge
// after 100 iterations"); otherwise the next pass slides against the reference moved 0.25 (devref
// above 0.001), 0.5 (above 1e-06) or all the way towards xref2. Returns the last pass's xref2 and
// the sample superimposed onto it.
Consensus iterate_damped(Consensus start, const SampleSlider& slide, IterationObserver& observer);

}  // namespace tav
