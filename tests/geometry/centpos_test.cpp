#include <cmath>
#include <gtest/gtest.h>

#include "geometry/geometry.h"

namespace tav {
namespace {

struct CentposCase {
  const char* name;
  Row x;
  double cx, cy;
};

class Centpos : public ::testing::TestWithParam<CentposCase> {};

TEST_P(Centpos, MeanOfThePointsIgnoringTrailingValue) {
  const auto& c = GetParam();
  const Eigen::RowVector2d got = centpos(c.x);
  EXPECT_DOUBLE_EQ(got(0), c.cx);
  EXPECT_DOUBLE_EQ(got(1), c.cy);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Centpos,
    ::testing::Values(CentposCase{"three_points", row({1, 2, 3, 4, 5, 6}), 3, 4},
                      CentposCase{"trailing_value_ignored", row({1, 2, 3, 4, 5, 6, 9}), 3, 4},
                      CentposCase{"one_point", row({-2.5, 8}), -2.5, 8},
                      CentposCase{"one_point_and_trailing", row({-2.5, 8, 100}), -2.5, 8}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(CentposNoPoints, RowWithoutPointsHasNoCentroid) {
  for (const Row& r : {Row(), row({4})}) {
    const Eigen::RowVector2d got = centpos(r);
    EXPECT_TRUE(std::isnan(got(0)) && std::isnan(got(1))) << "row of " << r.size();
  }
}

}  // namespace
}  // namespace tav
