#pragma once
// One superimposition pass of the iterative consensus, shared by the consensus routines and
// their benchmark. Specimens are stacked columns of w (2k×n): x1 .. xk then y1 .. yk, centred
// and of unit centroid size. The specimens stay as they are during the passes; each pass finds
// every specimen's turn onto the consensus afresh, which equals the turn the previous passes
// made plus the one this pass adds, and the turns are applied once at the end.
#include <vector>

#include "consensus/consensus.h"
#include "geometry/procrustes.h"
#include "platform/matrix.h"

namespace tav::detail {

// For every specimen of w, turns[i] = its best turn onto ref (a specimen with no preferred
// angle keeps the turn it had), and sum = the sum of the turned specimens, added in specimen
// order. turns must hold one entry per specimen; sum is resized to 2k.
void best_turns_and_sum(const Matrix& w, const Eigen::VectorXd& ref, std::vector<Turn>& turns,
                        Eigen::VectorXd& sum);

// One pass of the consensus: every specimen of w turned onto ref (turns), then ref replaced by
// the mean of the turned specimens scaled to unit centroid size, and ref_trailing by the mean
// trailing value divided by the same factor. Returns the squared change of ref.
double mean_pass(const Matrix& w, double trailing_mean, std::vector<Turn>& turns,
                 Eigen::VectorXd& ref, double& ref_trailing);

// The consensus ref (with its trailing value) and the specimens of w turned by turns (with their
// trailing values) as rows of interleaved coordinates.
Consensus consensus_rows(const Matrix& w, const std::vector<Turn>& turns,
                         const Eigen::VectorXd& trailing, const Eigen::VectorXd& ref,
                         double ref_trailing);

// The plain consensus of the specimen rows x with at most max_passes passes (Error beyond);
// the number of passes made goes to *passes_made when given.
Consensus plain_consensus_passes(const Matrix& x, int max_passes, int* passes_made = nullptr);

}  // namespace tav::detail
