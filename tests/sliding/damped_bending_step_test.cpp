#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sliding/bending_fixtures.h"
#include "sliding/bending_slide.h"
#include "support/test_support.h"

namespace tav {
namespace {

struct CurveCase {
  const char* name;
  bool closed;
  Index q;
};

Row reference_of(const CurveCase& c) {
  return c.closed ? test::leaf_outline(c.q) : test::open_arc(c.q);
}
Row specimen_of(const CurveCase& c) {
  return c.closed ? test::leaf_outline(c.q, 0.12, 0.05) : test::open_arc(c.q, 0.45, 0.03);
}

// bending_slide_basis's directions as a dense 2q-row U (end-point rows zero for an open curve).
Matrix full_u(const Row& target, bool closed) {
  const Index q = target.size() / 2;
  return test::dense_u(slide_directions(bending_slide_basis(target, closed), q, closed), q);
}

// T minimising (b + U T)'·L·(b + U T) as a least-squares problem ||S (b + U T)|| with S'S = L,
// solved by a complete orthogonal decomposition: no normal equations, no inverse.
Eigen::VectorXd direct_minimum(const Matrix& u, const Matrix& l, const Eigen::VectorXd& b) {
  const Eigen::SelfAdjointEigenSolver<Matrix> eig(l);
  const Matrix s =
      eig.eigenvalues().cwiseMax(0).cwiseSqrt().asDiagonal() * eig.eigenvectors().transpose();
  return (s * u).completeOrthogonalDecomposition().solve(-(s * b));
}

class DampedBendingStepCurve : public ::testing::TestWithParam<CurveCase> {};

TEST_P(DampedBendingStepCurve, MovesATenthOfTheDirectMinimumAndMatchesTheDenseFormula) {
  const CurveCase& c = GetParam();
  const Matrix lf = bending_energy_matrix(reference_of(c));
  const Row target = specimen_of(c);
  const Row y = damped_bending_step(target, c.closed, lf);
  const Matrix u = full_u(target, c.closed);
  const Eigen::VectorXd t = direct_minimum(u, lf, test::stacked(target));
  const Row tenth = test::interleaved(test::stacked(target) + 0.1 * (u * t));
  const double scale = (tenth - target).cwiseAbs().maxCoeff();
  ASSERT_GT(scale, 1e-4);  // the case does slide
  EXPECT_LT(test::max_abs_diff(y, tenth), 1e-6 * scale);
  EXPECT_LT(test::max_abs_diff(y, test::literal_step(u, lf, target)), 1e-9 * scale);
}

TEST_P(DampedBendingStepCurve, MovesOnlyAlongTheTangentsAndKeepsOpenEnds) {
  const CurveCase& c = GetParam();
  const Row target = specimen_of(c);
  const Row y = damped_bending_step(target, c.closed, bending_energy_matrix(reference_of(c)));
  ASSERT_EQ(y.size(), target.size());
  const Matrix u = full_u(target, c.closed);
  for (Index p = 0; p < c.q; ++p) {
    const double dx = y(2 * p) - target(2 * p), dy = y(2 * p + 1) - target(2 * p + 1);
    const double tx = u.row(p).sum(), ty = u.row(c.q + p).sum();  // one non-zero per row
    EXPECT_NEAR(dx * ty - dy * tx, 0, 1e-13) << "point " << p + 1;
  }
  if (!c.closed) {
    EXPECT_EQ(y.head(2), target.head(2));
    EXPECT_EQ(y.tail(2), target.tail(2));
  }
}

TEST_P(DampedBendingStepCurve, AnAffineImageOfTheReferenceDoesNotMove) {
  const CurveCase& c = GetParam();
  const Row ref = reference_of(c);
  Row image(ref.size());
  for (Index p = 0; p < c.q; ++p) {
    image(2 * p) = 1.2 * ref(2 * p) + 0.3 * ref(2 * p + 1) + 4;
    image(2 * p + 1) = -0.4 * ref(2 * p) + 0.9 * ref(2 * p + 1) - 1;
  }
  EXPECT_LT(
      test::max_abs_diff(damped_bending_step(image, c.closed, bending_energy_matrix(ref)), image),
      1e-9);
}

INSTANTIATE_TEST_SUITE_P(Curves, DampedBendingStepCurve,
                         ::testing::Values(CurveCase{"closed_16", true, 16},
                                           CurveCase{"closed_40", true, 40},
                                           CurveCase{"open_6", false, 6},
                                           CurveCase{"open_25", false, 25}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(DampedBendingStep, EveryPointOfAClosedCurveMayMove) {
  const Row target = test::leaf_outline(16, 0.12, 0.05);
  const Row y = damped_bending_step(target, true, bending_energy_matrix(test::leaf_outline(16)));
  for (Index p = 0; p < 16; ++p)
    EXPECT_GT(std::hypot(y(2 * p) - target(2 * p), y(2 * p + 1) - target(2 * p + 1)), 0) << p;
}

struct BadCall {
  const char* name;
  Row target;
  bool closed;
  Matrix lfinal;
  const char* says;
};

class DampedBendingStepRejects : public ::testing::TestWithParam<BadCall> {};

TEST_P(DampedBendingStepRejects, WithAnErrorTheUserCanActOn) {
  const BadCall& c = GetParam();
  try {
    damped_bending_step(c.target, c.closed, c.lfinal);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr(c.says));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Calls, DampedBendingStepRejects,
    ::testing::Values(
        BadCall{"odd_length", row({0, 0, 1, 0, 1}), true, Matrix::Zero(4, 4), "5 numbers"},
        BadCall{"short_open_curve", test::open_arc(5), false, Matrix::Zero(10, 10), "has 5 points"},
        BadCall{"short_closed_curve", row({0, 0, 1, 0}), true, Matrix::Zero(4, 4), "has 2 points"},
        BadCall{"wrong_matrix_size", test::leaf_outline(8), true, Matrix::Zero(8, 8),
                "must be 16x16"},
        BadCall{"no_energy", test::leaf_outline(8), true, Matrix::Zero(16, 16), "singular"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
