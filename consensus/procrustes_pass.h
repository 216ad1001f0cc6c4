#pragma once
// One superimposition pass of the iterative consensus, shared by the consensus routines and
// their benchmark. Specimens are stacked columns of w (2k×n): x1 .. xk then y1 .. yk, centred
// and of unit centroid size.
#include "consensus/consensus.h"
#include "platform/matrix.h"

namespace tav::detail {

// Turns every specimen of w onto ref (stacked, 2k) by its best rotation, and sets `sum` (2k,
// resized if needed) to the sum of the turned specimens, added in specimen order so that the
// result never depends on how the work is split.
void turn_onto_and_sum(Matrix& w, const Eigen::VectorXd& ref, Eigen::VectorXd& sum);

// The plain consensus of the specimen rows x with at most max_passes passes (Error beyond).
Consensus plain_consensus(const Matrix& x, int max_passes);

}  // namespace tav::detail
