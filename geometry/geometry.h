#pragma once
// Procrustes geometry on configuration rows: x1 y1 x2 y2 ... xk yk, optionally followed by one
// trailing value that is carried along and never counted as a coordinate.
#include "platform/matrix.h"

namespace tav {

// Centroid [mean x, mean y] of the k = floor(L/2) points of a row of L numbers.
Eigen::RowVector2d centroid_of(const Row& x);

// Centroid size of every row of an n×m matrix (k = floor(m/2) points each), as an n×1 column.
Eigen::VectorXd centroid_size(const Matrix& x);

// Each row registered on the baseline from point b1 (to the origin) to point b2 (to (1, 0)) by
// translation, uniform scaling and rotation; an odd last column is returned untouched.
// b1, b2: 1-based point numbers; an index beyond the row raises Error. x unchanged.
Matrix baseline_registration(const Matrix& x, Index b1, Index b2);

// Each row: centre, scale to unit centroid size, turn onto xref (never mirror).
// x: n×(2k+1), rows x1 y1 ... xk yk + trailing value (kept); width odd.
// xref: >= 2k values read in column order, used as passed. Returns n×(2k+1); x unchanged.
// A row whose points all coincide raises Error naming the row.
Matrix fit_onto(const Matrix& x, const Matrix& xref);

}  // namespace tav
