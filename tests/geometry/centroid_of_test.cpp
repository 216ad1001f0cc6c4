#include <cmath>
#include <gtest/gtest.h>

#include "geometry/geometry.h"

namespace tav {
namespace {

struct CentroidOfCase {
  const char* name;
  Row x;
  double cx, cy;
};

class CentroidOf : public ::testing::TestWithParam<CentroidOfCase> {};

TEST_P(CentroidOf, MeanOfThePointsIgnoringTrailingValue) {
  const auto& c = GetParam();
  const Eigen::RowVector2d got = centroid_of(c.x);
  EXPECT_DOUBLE_EQ(got(0), c.cx);
  EXPECT_DOUBLE_EQ(got(1), c.cy);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CentroidOf,
    ::testing::Values(CentroidOfCase{"three_points", row({1, 2, 3, 4, 5, 6}), 3, 4},
                      CentroidOfCase{"trailing_value_ignored", row({1, 2, 3, 4, 5, 6, 9}), 3, 4},
                      CentroidOfCase{"one_point", row({-2.5, 8}), -2.5, 8},
                      CentroidOfCase{"one_point_and_trailing", row({-2.5, 8, 100}), -2.5, 8}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(CentroidOfNoPoints, RowWithoutPointsHasNoCentroid) {
  for (const Row& r : {Row(), row({4})}) {
    const Eigen::RowVector2d got = centroid_of(r);
    EXPECT_TRUE(std::isnan(got(0)) && std::isnan(got(1))) << "row of " << r.size();
  }
}

}  // namespace
}  // namespace tav
