#pragma once
#include "platform/matrix.h"

namespace tav {

// Every specimen row of x (n×(2k+1)) centred on its centroid and scaled to centroid size 1 in
// columns 1..2k; the trailing value is not touched. Raises Error for an even width, for no
// rows, and for a specimen whose points all coincide (naming its row).
Matrix normalise_rows(const Matrix& x);

}  // namespace tav
