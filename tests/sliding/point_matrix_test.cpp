#include <gtest/gtest.h>

#include "sliding/sliding.h"

namespace tav {
namespace {

TEST(PointMatrix, PointsBecomeColumnsAndTheTrailingValueIsDropped) {
  for (const Row& x : {row({1, 2, 3, 4, 5, 6}), row({1, 2, 3, 4, 5, 6, 99})}) {
    const Matrix y = point_matrix(x);
    ASSERT_EQ(y.rows(), 2);
    ASSERT_EQ(y.cols(), 3);
    for (Index p = 0; p < 3; ++p) {
      EXPECT_EQ(y(0, p), x(2 * p));
      EXPECT_EQ(y(1, p), x(2 * p + 1));
    }
  }
}

TEST(PointMatrix, EmptyAndSingleValueRowsGiveNoPoints) {
  EXPECT_EQ(point_matrix(Row()).cols(), 0);
  EXPECT_EQ(point_matrix(row({7})).cols(), 0);
}

}  // namespace
}  // namespace tav
