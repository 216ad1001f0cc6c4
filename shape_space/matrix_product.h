#pragma once
#include "platform/matrix.h"

namespace tav {

// a · b (n×p times p×m) at the vector width kernel_width() chooses (eight lanes with AVX-512,
// four with AVX2 and FMA, Eigen's own product otherwise): the scores of a large sample, whose
// product is most of the shape space's work. Equal to Eigen's a * b up to rounding.
Matrix matrix_product(const Matrix& a, const Matrix& b);

}  // namespace tav
