#include "sliding/cholesky.h"

#include <gtest/gtest.h>
#include <limits>

namespace tav {
namespace {

// A well-conditioned symmetric positive definite matrix of size n.
Matrix spd(Index n, unsigned seed) {
  std::srand(seed);
  const Matrix r = Matrix::Random(n, n);
  return r * r.transpose() + static_cast<double>(n) * Matrix::Identity(n, n);
}

void load_lower(SmallCholesky& c, const Matrix& a) {
  c.resize(a.rows());
  for (Index j = 0; j < a.cols(); ++j)
    for (Index i = j; i < a.rows(); ++i) c.lower(i, j) = a(i, j);
}

// Sizes on both sides of the panel width and the row blocks, and a curve-sized one; the same
// object is reused across sizes, as a slide's workspace is across curves.
TEST(SmallCholesky, SolvesLikeADenseFactorisationAtEverySize) {
  SmallCholesky c;
  for (const Index n : {1, 2, 3, 4, 5, 5, 7, 8, 9, 12, 13, 13, 17, 50, 3}) {
    const Matrix a = spd(n, static_cast<unsigned>(n));
    const Eigen::VectorXd b = Eigen::VectorXd::LinSpaced(n, -1, 2);
    load_lower(c, a);
    ASSERT_TRUE(c.factor()) << n;
    Eigen::VectorXd x = b;
    c.solve(x);
    const Eigen::VectorXd want = a.llt().solve(b);
    EXPECT_LT((x - want).norm(), 1e-12 * want.norm()) << n;
    EXPECT_NEAR(c.diagonal(0), std::sqrt(a(0, 0)), 1e-14 * a(0, 0)) << n;
  }
}

TEST(SmallCholesky, RefusesMatricesThatAreNotPositiveDefinite) {
  SmallCholesky c;
  const Matrix a = spd(6, 1);
  Matrix indefinite = a;
  indefinite(5, 5) = -1;
  Matrix rank_deficient = Matrix::Ones(6, 6);
  Matrix not_a_number = a;
  not_a_number(3, 1) = std::numeric_limits<double>::quiet_NaN();
  for (const Matrix* m : {&indefinite, &rank_deficient, &not_a_number}) {
    load_lower(c, *m);
    EXPECT_FALSE(c.factor());
  }
  load_lower(c, a);  // the workspace recovers after a failure
  EXPECT_TRUE(c.factor());
}

}  // namespace
}  // namespace tav
