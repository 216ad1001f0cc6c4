#pragma once
// The curve walk shared by the sliding consensus routines: every curve of the protocol except
// curve 0, in increasing code order (closed curves from the most negative code, then the open
// ones), slides on every specimen; each curve reads the coordinates that the earlier curves
// left, so a point shared by two curves ends where the curve with the higher code puts it.
#include <functional>
#include <vector>

#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav {

// One curve of the walk.
struct SlidingCurve {
  int code = 0;  // negative: closed, positive: open
  bool closed = false;
  std::vector<Index> columns;  // 0-based coordinate columns x_p1 y_p1 x_p2 y_p2 ... (interleaved)
  // Per member, in curve order: 1 for a landmark (a point some protocol row types 0), which
  // never slides; 0 for a semi-landmark or helper point.
  std::vector<char> held;
};

// Per point 1..k (entry 0 unused): 1 where some row of p types the point as a landmark (type 0).
std::vector<char> landmark_points(const CurveProtocol& p, Index k);

// The curves of p in walk order, checked against specimens of k points before anything
// slides: raises Error for a code without an entry, a member outside 1..k (naming the curve
// and the point) and a curve with fewer than min_open (open) or min_closed (closed) members
// (naming the curve and its length).
std::vector<SlidingCurve> sliding_curves(const CurveProtocol& p, Index k, Index min_open,
                                         Index min_closed);

// The curve row of `curve` cut out of a configuration row (a row of x or a consensus row).
Row curve_row(const Eigen::Ref<const Row>& config, const SlidingCurve& curve);

// slide(curve_index, current) -> the slid curve row of one specimen (same length). It must
// depend on nothing but its arguments and data fixed for the whole walk: specimens run in
// parallel, with results identical to a single thread.
using CurveSlider = std::function<Row(std::size_t curve_index, const Row& current)>;

// Runs the walk on the rows of x (coordinates in columns 1..2k; the trailing value is never
// touched). A slid curve with a coordinate that is not a number (coincident neighbouring
// points leave the tangent undefined) raises Error naming the specimen (1-based row) and the
// curve code: the first in walk order (lowest curve, then lowest specimen), whatever the
// thread count.
void walk_curves(Matrix& x, const std::vector<SlidingCurve>& curves, const CurveSlider& slide);

}  // namespace tav
