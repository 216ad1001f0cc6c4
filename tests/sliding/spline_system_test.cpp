#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sliding/bending_fixtures.h"
#include "sliding/sliding.h"

namespace tav {
namespace {

TEST(SplineSystem, HasTheSplineSystemStructure) {
  for (const Index k : {3, 7, 20}) {
    const Matrix pts = point_matrix(test::leaf_outline(k, 0.05));
    const Matrix l = spline_system(pts);
    ASSERT_EQ(l.rows(), k + 3);
    ASSERT_EQ(l.cols(), k + 3);
    EXPECT_EQ(l, l.transpose());
    for (Index i = 0; i < k; ++i) {
      EXPECT_EQ(l(i, i), 0);
      EXPECT_EQ(l(i, k), 1);
      EXPECT_EQ(l(i, k + 1), pts(0, i));
      EXPECT_EQ(l(i, k + 2), pts(1, i));
      for (Index j = i + 1; j < k; ++j)
        EXPECT_EQ(l(i, j), spline_kernel(pts.col(i).transpose(), pts.col(j).transpose()));
    }
    EXPECT_TRUE(l.bottomRightCorner(3, 3).isZero(0));
  }
}

TEST(SplineSystem, RejectsAMatrixThatIsNotTwoRows) {
  EXPECT_THROW(
      {
        try {
          spline_system(Matrix::Zero(3, 4));
        } catch (const Error& e) {
          EXPECT_THAT(e.what(), ::testing::HasSubstr("2 rows"));
          throw;
        }
      },
      Error);
}

}  // namespace
}  // namespace tav
