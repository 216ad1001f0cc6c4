#pragma once
// Building blocks of every Procrustes superimposition, shared by the fit and the consensus
// routines. They work on specimens held as stacked columns: column i of a 2k×n matrix holds
// specimen i as x1 .. xk followed by y1 .. yk, so that each specimen is contiguous in memory.
#include "platform/matrix.h"

namespace tav::detail {

// Number of points k of specimen rows m columns wide, which must be 2k+1 with k >= 1 (x y for
// every point and one trailing value); raises Error naming `task` and the width otherwise.
Index specimen_points(Index m, const char* task);

// The first 2k columns of the specimen rows of x, as stacked columns (2k×n).
Matrix stacked_columns(const Matrix& x, Index k);

// The 2k coordinates of a configuration given as a vector in column order (x1 y1 ... xk yk),
// stacked (x1 .. xk y1 .. yk). xref must hold at least 2k values (Error otherwise).
Eigen::VectorXd stacked_reference(const Matrix& xref, Index k);

// Rows of interleaved coordinates from stacked columns, with `trailing` as the last column.
Matrix interleaved_rows(const Matrix& w, const Eigen::VectorXd& trailing);

// Centres the points of every stacked specimen on its centroid and scales them to unit
// centroid size. A specimen whose points all coincide raises Error naming its row (1-based).
void centre_and_scale(Matrix& w);

// Cosine and sine of the rotation that turns a centred specimen best onto a reference: the
// angle maximising the summed element-wise products, over the full circle (never a mirror).
struct Turn {
  double c = 1, s = 0;
};
Turn best_turn(const Eigen::Ref<const Eigen::VectorXd>& specimen,
               const Eigen::Ref<const Eigen::VectorXd>& ref);

// Turns a stacked specimen in place by t.
void apply_turn(Eigen::Ref<Eigen::VectorXd> specimen, Turn t);

}  // namespace tav::detail
