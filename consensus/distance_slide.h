#pragma once
#include "consensus/curve_protocol.h"
#include "platform/matrix.h"

namespace tav {

// The curve walk with the Procrustes-distance slide: every curve of every specimen row of x
// slides against the same reference row (its first 2k values, x1 y1 ... xk yk, used as passed),
// settling within 1e-06 per element or 32 steps. The protocol is checked before anything moves
// (curves of fewer than 3 points, members outside 1..k); a slide that gives values that are not
// numbers raises Error naming the specimen and the curve.
void slide_distance(Matrix& x, const CurveProtocol& p, const Row& reference);

}  // namespace tav
