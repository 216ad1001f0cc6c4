#pragma once
// Turning whole specimens about the origin, as rows of interleaved coordinates
// (x1 y1 ... xk yk and a trailing value, which no turn touches).
#include <vector>

#include "platform/matrix.h"

namespace tav {

// Turns row i of x about the origin by the angle that best fits its points `pts` (0-based)
// onto the same points of ref (never mirrored).
void turn_row_onto(Matrix& x, Index i, const Row& ref, const std::vector<Index>& pts);

// Turns the consensus y about the origin onto ref (all its points), and every row of the
// sample xpt by the same angle, so that the sample stays superimposed on its consensus.
void turn_with_sample_onto(Row& y, Matrix& xpt, const Row& ref);

}  // namespace tav
