#include <gtest/gtest.h>

#include <cmath>

#include "sliding/sliding.h"

namespace tav {
namespace {

struct KernelCase {
  const char* name;
  double ax, ay, bx, by, r2;  // r2: squared distance of the two points
};

class UsplineCase : public ::testing::TestWithParam<KernelCase> {};

TEST_P(UsplineCase, IsSquaredDistanceTimesItsLogAndSymmetric) {
  const KernelCase& c = GetParam();
  const Eigen::RowVector2d a(c.ax, c.ay), b(c.bx, c.by);
  const double expected = c.r2 == 0 ? 0.0 : c.r2 * std::log(c.r2);
  EXPECT_NEAR(uspline(a, b), expected, 1e-14 * (1 + std::abs(expected)));
  EXPECT_EQ(uspline(a, b), uspline(b, a));
}

INSTANTIATE_TEST_SUITE_P(
    Points, UsplineCase,
    ::testing::Values(KernelCase{"coincident", 0, 0, 0, 0, 0},
                      KernelCase{"unit_distance", 0, 0, 1, 0, 1},
                      KernelCase{"distance_two", 0, 0, 2, 0, 4},
                      KernelCase{"short_diagonal", 0.1, -0.2, 0.4, 0.2, 0.25},
                      KernelCase{"far", -3, 1, 5, -5, 100}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(Uspline, DistanceTwoIsAbout5Point5452) {
  EXPECT_NEAR(uspline({0, 0}, {2, 0}), 5.5452, 1e-4);
}

}  // namespace
}  // namespace tav
