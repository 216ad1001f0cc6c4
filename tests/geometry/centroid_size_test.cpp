#include <cmath>
#include <gtest/gtest.h>

#include "geometry/geometry.h"

namespace tav {
namespace {

struct CentroidSizeCase {
  const char* name;
  Row x;
  double size;
};

class CentroidSize : public ::testing::TestWithParam<CentroidSizeCase> {};

TEST_P(CentroidSize, RootOfSummedSquaredDistancesFromCentroid) {
  const auto& c = GetParam();
  const Eigen::VectorXd got = centroid_size(Matrix(c.x));
  ASSERT_EQ(got.size(), 1);
  EXPECT_NEAR(got(0), c.size, 1e-14);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CentroidSize,
    ::testing::Values(
        CentroidSizeCase{"two_points", row({0, 0, 3, 4}), std::sqrt(12.5)},
        CentroidSizeCase{"trailing_value_ignored", row({0, 0, 3, 4, 7}), std::sqrt(12.5)},
        CentroidSizeCase{"unit_square", row({0, 0, 1, 0, 1, 1, 0, 1, -3}), std::sqrt(2.0)},
        CentroidSizeCase{"one_repeated_point", row({2, 5, 2, 5, 2, 5, 1}), 0}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(CentroidSizeMatrix, OneSizePerRowInRowOrder) {
  const Matrix x = rows({{0, 0, 3, 4, 1}, {0, 0, 0, 2, 2}, {1, 1, 1, 1, 3}});
  const Eigen::VectorXd got = centroid_size(x);
  ASSERT_EQ(got.rows(), 3);
  ASSERT_EQ(got.cols(), 1);
  EXPECT_NEAR(got(0), std::sqrt(12.5), 1e-14);
  EXPECT_NEAR(got(1), std::sqrt(2.0), 1e-14);
  EXPECT_EQ(got(2), 0);
}

TEST(CentroidSizeMatrix, NoRowsGivesEmptyResult) {
  EXPECT_EQ(centroid_size(Matrix(0, 5)).size(), 0);
  EXPECT_EQ(centroid_size(Matrix()).size(), 0);
}

}  // namespace
}  // namespace tav
