#pragma once
// Building blocks of every Procrustes superimposition, shared by the fit and the consensus
// routines. They work on specimens held as stacked columns: column i of a 2k×n matrix holds
// specimen i as x1 .. xk followed by y1 .. yk, so that each specimen is contiguous in memory.
#include <vector>

#include "platform/matrix.h"

namespace tav::detail {

// Number of points k of specimen rows m columns wide, which must be 2k+1 with k >= 1 (x y for
// every point and one trailing value); raises Error naming `task` and the width otherwise.
Index specimen_points(Index m, const char* task);

// A rotation about the origin as its cosine and sine.
struct Turn {
  double c = 1, s = 0;
};

// The first 2k columns of the specimen rows of x as stacked columns (2k×n), each centred on
// its centroid and scaled to unit centroid size. A specimen whose points all coincide raises
// Error naming its row (1-based).
Matrix normalised_stacked(const Matrix& x, Index k);

// The 2k coordinates of a configuration given as a vector in column order (x1 y1 ... xk yk),
// stacked (x1 .. xk y1 .. yk). xref must hold at least 2k values (Error otherwise).
Eigen::VectorXd stacked_reference(const Matrix& xref, Index k);

// Rows of interleaved coordinates (n×(2k+1)) from the stacked columns of w, specimen i turned
// by turns[i] (one turn per specimen), with `trailing` (n values) as the last column.
Matrix interleaved_rows(const Matrix& w, const std::vector<Turn>& turns,
                        const Eigen::VectorXd& trailing);

// The reference configuration (stacked) that specimens are turned onto.
class TurnTarget {
 public:
  explicit TurnTarget(const Eigen::VectorXd& ref);
  Index size() const { return ref_.size(); }
  const double* ref() const { return ref_.data(); }

 private:
  Eigen::VectorXd ref_;
};

// The rotation that turns a centred stacked specimen best onto the target: the angle that
// maximises the summed element-wise products, over the full circle, never a mirror. When the
// specimen has no preferred angle (both sums 0) the answer is `none`.
Turn best_turn(const double* specimen, const TurnTarget& target, Turn none = {});

// The pass of the consensus on the n stacked specimens of w (2k values each, contiguous, k
// the target's point count): turns[i] becomes specimen i's best turn onto the target (its
// value before is the `none` of best_turn), and the turned specimens are added to sum (2k
// values) in specimen order, with the same additions as add_turned one specimen at a time.
// Each specimen is read from memory once.
void best_turns_and_sum(const double* w, Index n, const TurnTarget& target, Turn* turns,
                        double* sum);
// Adds the stacked specimen of k points, turned by t, to sum (2k values); specimen unchanged.
void add_turned(const double* specimen, Index k, Turn t, double* sum);

}  // namespace tav::detail
