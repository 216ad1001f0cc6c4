#include <cmath>
#include <gtest/gtest.h>

#include "sliding/sliding.h"

namespace tav {
namespace {

// The bending-energy matrix is built from the kernel between every two points: it relies on
// known values (0 for coincident points, never a NaN; negative closer than 1 apart), on the
// order of the two points not mattering, and on nothing but their distance.
struct KernelCase {
  const char* name;
  double ax, ay, bx, by;
  double expected;  // r² ln r² worked out by hand for these points
};

class SplineKernelCase : public ::testing::TestWithParam<KernelCase> {};

TEST_P(SplineKernelCase, GivesTheKnownValueInEitherOrderAndWhereverThePairLies) {
  const KernelCase& c = GetParam();
  const Eigen::RowVector2d a(c.ax, c.ay), b(c.bx, c.by);
  EXPECT_NEAR(spline_kernel(a, b), c.expected, 1e-14 * (1 + std::abs(c.expected)));
  EXPECT_EQ(spline_kernel(a, b), spline_kernel(b, a));
  // The same pair turned by 0.7 and moved: the same value, to rounding.
  const double cs = std::cos(0.7), sn = std::sin(0.7);
  auto moved = [&](const Eigen::RowVector2d& p) {
    return Eigen::RowVector2d(cs * p(0) - sn * p(1) + 12.5, sn * p(0) + cs * p(1) - 3.25);
  };
  EXPECT_NEAR(spline_kernel(moved(a), moved(b)), c.expected, 1e-12 * (1 + std::abs(c.expected)));
}

INSTANTIATE_TEST_SUITE_P(Points, SplineKernelCase,
                         ::testing::Values(KernelCase{"coincident", 0, 0, 0, 0, 0.0},
                                           KernelCase{"unit_distance", 0, 0, 1, 0, 0.0},
                                           KernelCase{"distance_two", 0, 0, 2, 0,
                                                      5.545177444479562},
                                           KernelCase{"short_diagonal_below_one", 0.1, -0.2, 0.4,
                                                      0.2, -0.34657359027997264},
                                           KernelCase{"far", -3, 1, 5, -5, 460.51701859880916}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(SplineKernel, DistanceTwoIsAbout5Point5452) {
  EXPECT_NEAR(spline_kernel({0, 0}, {2, 0}), 5.5452, 1e-4);
}

}  // namespace
}  // namespace tav
