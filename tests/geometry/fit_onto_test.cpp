#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <numbers>

#include "geometry/geometry.h"
#include "support/procrustes_shapes.h"
#include "support/test_support.h"

namespace tav {
namespace {

using test::Pose;

class FitOntoPose : public ::testing::TestWithParam<Pose> {};

TEST_P(FitOntoPose, MovedCopyReturnsToReferenceAtUnitSize) {
  const Row ref = test::unit_size(test::kite());  // centred
  const Matrix y = fit_onto(Matrix(test::moved(ref, GetParam())), ref);
  EXPECT_LT(test::max_abs_diff(y, ref), 1e-9);
  EXPECT_EQ(y(0, ref.size() - 1), ref(ref.size() - 1));  // trailing value carried exactly
}

INSTANTIATE_TEST_SUITE_P(
    Poses, FitOntoPose,
    ::testing::Values(Pose{"unchanged", 0, 1, 0, 0},
                      Pose{"half_turn_not_mirrored", std::numbers::pi, 1, 0, 0},
                      Pose{"turned_back_from_minus", -2.5, 3, 1, 2},
                      Pose{"small_and_far", 0.4, 1e-3, 250, -80}, Pose{"large", 1.2, 1e4, -3e3, 5}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(FitOntoSample, ReferenceUsedAsPassedAndEveryRowUnitSize) {
  const Row ref = test::unit_size(test::kite());
  std::mt19937 gen(3);
  Matrix x(4, ref.size());
  for (Index i = 0; i < x.rows(); ++i)
    x.row(i) =
        test::noisy(test::moved(ref, {"", 0.7 * double(i), 2.0 + double(i), 5, -1}), 0.05, gen);
  x.col(ref.size() - 1) << 1, -2, 3.5, 0;
  // A reference ten times larger gives the same angles: it is not rescaled, only compared.
  const Matrix y = fit_onto(x, Matrix(10 * ref));
  EXPECT_LT(test::max_abs_diff(y, fit_onto(x, ref)), 1e-12);
  const Eigen::VectorXd sizes = centroid_size(y);
  for (Index i = 0; i < y.rows(); ++i) {
    EXPECT_NEAR(sizes(i), 1, 1e-12);
    EXPECT_NEAR(y.row(i).head(10)(Eigen::seq(0, Eigen::last, 2)).sum(), 0, 1e-12);
    // Turning onto the reference brings each noisy copy close to it.
    EXPECT_LT(test::max_abs_diff(y.row(i).head(10), ref.head(10)), 0.1);
  }
  EXPECT_EQ(y.col(ref.size() - 1), x.col(ref.size() - 1));
}

TEST(FitOntoSample, ZeroReferenceLeavesSpecimenUnturnedAndEmptySampleUnchanged) {
  const Row specimen = test::moved(test::kite(), {"", 1, 2, 3, 4});
  const Matrix y = fit_onto(Matrix(specimen), Matrix(Row::Zero(10)));
  EXPECT_LT(test::max_abs_diff(y, test::unit_size(specimen)), 1e-14);
  EXPECT_EQ(fit_onto(Matrix(0, 11), Matrix()).cols(), 11);
}

struct FitOntoError {
  const char* name;
  Matrix x, xref;
  const char* says;
};

class FitOntoErrors : public ::testing::TestWithParam<FitOntoError> {};

TEST_P(FitOntoErrors, RaiseErrorNamingTheFault) {
  const auto& c = GetParam();
  try {
    fit_onto(c.x, c.xref);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr(c.says));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitOntoErrors,
    ::testing::Values(
        FitOntoError{"even_width", rows({{0, 0, 1, 0, 0, 1}}), rows({{0, 0, 1, 0, 0, 1}}),
                     "specimen rows have 6 columns"},
        FitOntoError{"no_points", rows({{4}}), rows({{0, 0}}), "specimen rows have 1 columns"},
        FitOntoError{"reference_too_short", rows({{0, 0, 1, 0, 0, 1, 9}}), rows({{0, 0, 1, 0, 0}}),
                     "index 6 is outside 1..5"},
        FitOntoError{"coinciding_points_row_2",
                     rows({{0, 0, 1, 0, 0, 1, 9}, {2, 2, 2, 2, 2, 2, 9}}),
                     rows({{0, 0, 1, 0, 0, 1}}),
                     "specimen 2: all its points coincide (centroid size 0); correct or remove "
                     "this row"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
