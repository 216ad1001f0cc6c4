// The scores' product at every vector width this processor runs, against Eigen's, on sizes
// that leave rows and columns beyond the whole blocks.
#include "shape_space/matrix_product.h"

#include <gtest/gtest.h>

#include "platform/vector_width.h"

namespace tav {
namespace {

TEST(MatrixProduct, EveryWidthGivesEigensProductWithTheEdgesBeyondTheBlocks) {
  const VectorWidth chosen = kernel_width();
  for (const VectorWidth w : supported_vector_widths()) {
    use_vector_width(w);
    for (const auto& [n, p, m] : {std::tuple{100, 40, 11}, {32, 7, 4}, {5, 3, 2}, {67, 1, 9}}) {
      SCOPED_TRACE(std::string(vector_width_name(w)) + " " + std::to_string(n) + "x" +
                   std::to_string(p) + "x" + std::to_string(m));
      const Matrix a = Matrix::Random(n, p), b = Matrix::Random(p, m);
      const Matrix expected = a * b;
      EXPECT_LT((matrix_product(a, b) - expected).cwiseAbs().maxCoeff(), 1e-13);
    }
  }
  use_vector_width(chosen);
}

}  // namespace
}  // namespace tav
