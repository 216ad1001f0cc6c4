#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sliding/bending_fixtures.h"
#include "sliding/sliding.h"
#include "support/test_support.h"

namespace tav {
namespace {

Row with_trailing(const Row& r, double v) {
  Row out(r.size() + 1);
  out << r, v;
  return out;
}

TEST(BendingEnergyMatrix, IgnoresATrailingValue) {
  const Row ref = test::leaf_outline(12, 0.05);
  EXPECT_EQ(bending_energy_matrix(with_trailing(ref, 42.5)), bending_energy_matrix(ref));
}

TEST(BendingEnergyMatrix, IsTwoEqualBlocksOfTheSplineInverse) {
  const Index k = 9;
  const Row ref = test::leaf_outline(k, 0.1);
  const Matrix lf = bending_energy_matrix(ref);
  ASSERT_EQ(lf.rows(), 2 * k);
  ASSERT_EQ(lf.cols(), 2 * k);
  EXPECT_EQ(lf.topLeftCorner(k, k), lf.bottomRightCorner(k, k));
  EXPECT_TRUE(lf.topRightCorner(k, k).isZero(0));
  EXPECT_TRUE(lf.bottomLeftCorner(k, k).isZero(0));
  // The block is the upper-left k×k block of the inverse of the spline system.
  const Matrix linv = spline_system(point_matrix(ref)).inverse();
  EXPECT_LT(test::max_abs_diff(lf.topLeftCorner(k, k), linv.topLeftCorner(k, k)),
            1e-10 * linv.topLeftCorner(k, k).cwiseAbs().maxCoeff());
}

struct Affine {
  const char* name;
  double a, b, c, d, e, f;  // (x, y) -> (a x + b y + e, c x + d y + f)
};

class BendingEnergyMatrixAffine : public ::testing::TestWithParam<Affine> {};

TEST_P(BendingEnergyMatrixAffine, AnAffineImageOfTheReferenceHasNoBendingEnergy) {
  const Affine& m = GetParam();
  const Index k = 15;
  const Row ref = test::leaf_outline(k, 0.08);
  const Matrix lf = bending_energy_matrix(ref);
  Row image(2 * k);
  for (Index p = 0; p < k; ++p) {
    const double x = ref(2 * p), y = ref(2 * p + 1);
    image(2 * p) = m.a * x + m.b * y + m.e;
    image(2 * p + 1) = m.c * x + m.d * y + m.f;
  }
  const Eigen::VectorXd v = test::stacked(image);
  EXPECT_LT((lf * v).cwiseAbs().maxCoeff(), 1e-9 * lf.cwiseAbs().maxCoeff() * (1 + v.norm()));
}

INSTANTIATE_TEST_SUITE_P(Maps, BendingEnergyMatrixAffine,
                         ::testing::Values(Affine{"reference_itself", 1, 0, 0, 1, 0, 0},
                                           Affine{"ones_in_x_half", 0, 0, 0, 0, 1, 0},
                                           Affine{"shear_and_shift", 1.3, 0.4, -0.2, 0.7, 5, -3},
                                           Affine{"turn_and_scale", 0, -2, 2, 0, 0.5, 0.25}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(BendingEnergyMatrix, BendingEnergyOfANonAffineShapeIsPositive) {
  const Row ref = test::leaf_outline(15, 0.08);
  const Eigen::VectorXd v = test::stacked(test::leaf_outline(15, 0.2, 0.3));
  EXPECT_GT(v.dot(bending_energy_matrix(ref) * v), 0);
}

struct Degenerate {
  const char* name;
  Row reference;
  const char* says;
};

class BendingEnergyMatrixDegenerate : public ::testing::TestWithParam<Degenerate> {};

TEST_P(BendingEnergyMatrixDegenerate, RaisesAnErrorInsteadOfAMeaninglessMatrix) {
  try {
    bending_energy_matrix(GetParam().reference);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr(GetParam().says));
  }
}

INSTANTIATE_TEST_SUITE_P(
    References, BendingEnergyMatrixDegenerate,
    ::testing::Values(Degenerate{"collinear", row({0, 0, 1, 1, 2, 2, 3, 3, 7}), "straight line"},
                      Degenerate{"coincident", row({0, 0, 1, 0, 0, 1, 1, 0}), "coincide"},
                      Degenerate{"two_points", row({0, 0, 1, 0}), "at least 3"},
                      Degenerate{"not_a_number", row({0, 0, 1, 0, 0, NAN}), "not numbers"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
