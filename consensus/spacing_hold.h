#pragma once
// The consensus of the iterated run keeps its semi-landmarks' places along its own curves.
//
// Sliding the specimens against a consensus that is estimated anew in every pass leaves one
// direction that almost nothing resists: the semi-landmarks of every specimen and of the
// consensus creep together along their curves, and the run never settles. So when a pass
// re-estimates the consensus, a point that slides keeps only the part of its change that
// crosses the consensus's curve at that point; landmarks take their whole change.
#include <array>
#include <vector>

#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav {

// Per point of a configuration of k points (0-based): the two points (0-based) whose chord
// gives the direction of the curve at that point, or {-1, -1} for a point that takes its whole
// change. A point slides when a curve lists it and no protocol row types it 0 (semi-landmarks,
// type 1, and helper points, type 2). Its chord joins its two neighbours on the curve (around
// the ends of a closed curve); at an open curve's end it joins the point and its one neighbour.
// A point on two curves takes its chord from the first in walk order (the most negative code
// first, code 0 skipped). Members outside 1..k are left out (the slide refuses them).
struct SpacingHold {
  std::vector<std::array<Index, 2>> chord;
};

SpacingHold spacing_hold(const CurveProtocol& p, Index k);

// The new consensus `proposed` (1×(2k+1), already turned onto `reference`) with the change
// from `reference` at every sliding point reduced to its part normal to the point's chord in
// `reference`, then centred and scaled to unit centroid size. A chord of length 0 leaves the
// direction undefined: that point takes its whole change. The trailing value is proposed's.
Row hold_spacing(const SpacingHold& hold, const Row& reference, const Row& proposed);

}  // namespace tav
