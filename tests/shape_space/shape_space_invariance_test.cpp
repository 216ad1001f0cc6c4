// The shape space belongs to the shapes, not to how the specimens were placed or listed.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

#include "consensus/consensus.h"
#include "consensus/varied_samples.h"
#include "shape_space/shape_space.h"

namespace tav {
namespace {

// Every specimen of x (n×(2k+1)) turned by `angle` about the origin.
Matrix turned(const Matrix& x, double angle) {
  Matrix y = x;
  const double c = std::cos(angle), s = std::sin(angle);
  for (Index i = 0; i < x.rows(); ++i)
    for (Index p = 0; p < x.cols() / 2; ++p) {
      y(i, 2 * p) = c * x(i, 2 * p) - s * x(i, 2 * p + 1);
      y(i, 2 * p + 1) = s * x(i, 2 * p) + c * x(i, 2 * p + 1);
    }
  return y;
}

ShapeSpace space_of(const Matrix& x) {
  const Consensus plain = plain_consensus(x);
  return shape_space_of(plain.xpt, plain.y);
}

// Column j of a equals column j of b or its negative.
void expect_equal_up_to_sign(const Matrix& a, const Matrix& b, double tolerance) {
  ASSERT_EQ(a.cols(), b.cols());
  for (Index j = 0; j < a.cols(); ++j) {
    const double same = (a.col(j) - b.col(j)).cwiseAbs().maxCoeff();
    const double flipped = (a.col(j) + b.col(j)).cwiseAbs().maxCoeff();
    EXPECT_LT(std::min(same, flipped), tolerance) << "component " << j + 1;
  }
}

const Matrix& sample() {
  static const Matrix x = test::varied_sample(test::design(), 30, 0.1, 0.02, 11);
  return x;
}

TEST(ShapeSpaceInvariance, TurningEveryInputSpecimenChangesNoScoreButItsSign) {
  const ShapeSpace before = space_of(sample());
  for (const double angle : {0.7, 2.5, -3.0}) {
    SCOPED_TRACE(angle);
    const ShapeSpace after = space_of(turned(sample(), angle));
    // The leading components, whose eigenvalues are well apart (the last ones are the noise's).
    const Index m = 6;
    expect_equal_up_to_sign(before.components.scores.leftCols(m),
                            after.components.scores.leftCols(m), 1e-8);
    EXPECT_LT((before.components.eigenvalues - after.components.eigenvalues).cwiseAbs().maxCoeff(),
              1e-12);
    EXPECT_LT((before.distances - after.distances).cwiseAbs().maxCoeff(), 1e-10);
  }
}

// Shuffled before the consensus, the run itself differs to its tolerance (its start depends on
// the order); shuffled after it, the shape space takes the new order exactly.
TEST(ShapeSpaceInvariance, ShuffledSpecimensTakeTheirScoresAndDistancesWithThem) {
  std::vector<Index> order(static_cast<size_t>(sample().rows()));
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(3));
  const auto shuffled = [&](const Matrix& x) {
    Matrix y(x.rows(), x.cols());
    for (size_t i = 0; i < order.size(); ++i) y.row(static_cast<Index>(i)) = x.row(order[i]);
    return y;
  };
  const Consensus plain = plain_consensus(sample());
  const ShapeSpace before = shape_space_of(plain.xpt, plain.y);
  const Matrix expected_scores = shuffled(before.components.scores);
  const Matrix expected_distances = shuffled(before.distances);
  struct Way {
    const char* name;
    ShapeSpace after;
    double tolerance;
  };
  for (const Way& w :
       {Way{"superimposed, then shuffled", shape_space_of(shuffled(plain.xpt), plain.y), 1e-12},
        Way{"shuffled, then superimposed", space_of(shuffled(sample())), 1e-6}}) {
    SCOPED_TRACE(w.name);
    expect_equal_up_to_sign(expected_scores, w.after.components.scores, w.tolerance);
    EXPECT_LT((expected_distances - w.after.distances).cwiseAbs().maxCoeff(), w.tolerance);
  }
}

// Distances and the fence: a specimen pulled far from the rest is the one flagged.
TEST(ShapeSpaceOutliers, ASpecimenWithAMisplacedLandmarkIsTheOnlyOutlier) {
  Matrix x = sample();
  x(17, 2) += 0.8;  // landmark 2 of specimen 18, far off
  const ShapeSpace s = space_of(x);
  for (Index i = 0; i < x.rows(); ++i) EXPECT_EQ(s.outliers[static_cast<size_t>(i)], i == 17) << i;
  EXPECT_GT(s.distances(17), s.fence.fence);
}

struct FenceCase {
  std::vector<double> values;
  double q1, q3;
};
TEST(UpperFence, QuartilesInterpolateBetweenSortedValues) {
  for (const FenceCase& c : {FenceCase{{5, 1, 4, 2, 3}, 2, 4}, FenceCase{{1, 2, 3, 4}, 1.75, 3.25},
                             FenceCase{{7}, 7, 7}, FenceCase{{0, 10}, 2.5, 7.5}}) {
    const OutlierFence f = upper_fence(
        Eigen::Map<const Eigen::VectorXd>(c.values.data(), static_cast<Index>(c.values.size())));
    EXPECT_DOUBLE_EQ(f.q1, c.q1);
    EXPECT_DOUBLE_EQ(f.q3, c.q3);
    EXPECT_DOUBLE_EQ(f.fence, c.q3 + 1.5 * (c.q3 - c.q1));
  }
}

}  // namespace
}  // namespace tav
