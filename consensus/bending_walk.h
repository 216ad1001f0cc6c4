#pragma once
// The curve walk with the bending-energy slide, shared by the one-pass and the iterated
// bending-energy consensus.
#include <vector>

#include "consensus/curve_walk.h"
#include "platform/matrix.h"
#include "sliding/bending_slide.h"

namespace tav {

// One curve of the walk with its bending energy.
struct BendingCurve {
  SlidingCurve curve;
  // 2q×2q, stacked (x of the curve's q members, then their y): the energy of the curve's points.
  CurveEnergy energy;
  // Empty, or q×k: the rows of the whole configuration's k×k bending-energy matrix for the
  // curve's members, with the columns of the members themselves set to zero. The points it
  // reaches stay where they are while the curve slides; their pull on the curve is
  // coupling·(x of all points) and coupling·(y of all points).
  Matrix coupling;
};

// The bending-energy matrices of every curve of p against the consensus row xref: the
// spline through the curve's own consensus points (whole_configuration false), or the spline
// through all k consensus points, restricted to the curve, with the other points held fixed
// (whole_configuration true). Raises Error for a curve that cannot slide (fewer than 6 points
// open, 3 closed, or a member outside 1..k) or a consensus with no thin-plate spline.
std::vector<BendingCurve> bending_curves(const CurveProtocol& p, const Row& xref,
                                         bool whole_configuration);

// Slides every curve of every specimen row of x (coordinates in columns 1..2k; the trailing
// value is never touched), in curve order, each curve from where the earlier curves left the
// specimen, repeating the damped step until two results differ by at most tol_per_element per
// coordinate or 2 + max_extra steps are made. Specimens run in parallel; the results do not
// depend on the thread count. A step that fails (singular system, values that are not
// numbers) raises Error naming the specimen (1-based) and the curve code: the first in walk
// order (lowest curve, then lowest specimen).
void slide_bending(Matrix& x, const std::vector<BendingCurve>& curves, double tol_per_element,
                   int max_extra);

}  // namespace tav
