// How far each point slid: measured from where the input specimen, carried onto its saved
// configuration over its landmarks, puts the point.
#include <cmath>
#include <gtest/gtest.h>

#include "consensus/consensus.h"
#include "consensus/varied_samples.h"
#include "shape_space/shape_space.h"

namespace tav {
namespace {

std::vector<int> design_kinds() {
  std::vector<int> kinds(20, 1);
  for (int p = 0; p < 4; ++p) kinds[static_cast<size_t>(p)] = 0;
  return kinds;
}

// Each specimen turned by 0.4, scaled by 0.3 and shifted: a saved sample in which nothing slid.
Matrix similar(const Matrix& x) {
  Matrix y = x;
  const double c = 0.3 * std::cos(0.4), s = 0.3 * std::sin(0.4);
  for (Index i = 0; i < x.rows(); ++i)
    for (Index p = 0; p < x.cols() / 2; ++p) {
      y(i, 2 * p) = c * x(i, 2 * p) - s * x(i, 2 * p + 1) + 2;
      y(i, 2 * p + 1) = s * x(i, 2 * p) + c * x(i, 2 * p + 1) - 1;
    }
  return y;
}

TEST(SlideRecord, APointMovedAfterTheSimilarityIsMeasuredExactlyAndNothingElseSlid) {
  const test::Design d = test::design();
  const Matrix input = test::sample(d, 8, 0.02, 4);
  Matrix saved = similar(input);
  saved(5, 2 * 13) += 0.003, saved(5, 2 * 13 + 1) -= 0.004;  // point 14 of specimen 6 by 0.005
  saved(2, 2 * 13) += 0.001;                                 // ... of specimen 3 by 0.001
  const Consensus plain = plain_consensus(input);
  const SlideRecord r = slide_record(input, saved, plain.y, d.protocol, design_kinds());
  ASSERT_EQ(r.slides.rows(), 8);
  ASSERT_EQ(r.slides.cols(), 20);
  EXPECT_NEAR(r.slides(5, 13), 0.005, 1e-12);
  EXPECT_NEAR(r.slides(2, 13), 0.001, 1e-12);
  const PointSlide& p14 = r.points[13];
  EXPECT_NEAR(p14.largest, 0.005, 1e-12);
  EXPECT_NEAR(p14.mean, 0.006 / 8, 1e-12);
  EXPECT_EQ(p14.specimen, 6);
  EXPECT_EQ(p14.curve, 1);
  EXPECT_EQ(p14.kind, 1);
  Matrix others = r.slides;
  others(5, 13) = others(2, 13) = 0;
  EXPECT_LT(others.cwiseAbs().maxCoeff(), 1e-12);
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(r.points[static_cast<size_t>(p)].largest, 0.0);
    EXPECT_EQ(r.points[static_cast<size_t>(p)].curve, 0);
  }
  EXPECT_EQ(r.points[4].curve, -1);
  EXPECT_EQ(r.points[17].curve, 2);
}

TEST(SlideRecord, APlainSuperimpositionSlidNothingAndASlidingRunDid) {
  const test::Design d = test::design();
  const Matrix input = test::varied_sample(d, 10, 0.1, 0.05, 9);
  const Consensus plain = plain_consensus(input);
  const SlideRecord still = slide_record(input, plain.xpt, plain.y, d.protocol, design_kinds());
  EXPECT_LT(still.slides.cwiseAbs().maxCoeff(), 1e-12);
  const Consensus slid = refit_to_mean(bending_consensus(input, d.protocol));
  const SlideRecord moved = slide_record(input, slid.xpt, slid.y, d.protocol, design_kinds());
  for (Index p = 0; p < 20; ++p) {
    const PointSlide& point = moved.points[static_cast<size_t>(p)];
    if (p < 4) {
      EXPECT_EQ(moved.slides.col(p).cwiseAbs().maxCoeff(), 0.0) << "landmark " << p + 1;
    } else {
      EXPECT_GT(point.largest, 1e-4) << "point " << p + 1;
      EXPECT_GT(point.half_gap, 0) << "point " << p + 1;
    }
  }
}

TEST(SlideRecord, APointThatSlidPastHalfTheGapToItsNeighbourIsFlagged) {
  const test::Design d = test::design();
  const Matrix input = test::sample(d, 6, 0.0, 2);
  const Consensus plain = plain_consensus(input);
  const SlideRecord base = no_slides(6, plain.y, d.protocol, design_kinds());
  const double half_gap = base.points[13].half_gap;
  ASSERT_GT(half_gap, 0);
  Matrix saved = plain.xpt;
  saved(0, 2 * 13) += 1.5 * half_gap;                  // point 14 of specimen 1 beyond half the gap
  saved(1, 2 * 15) += 0.5 * base.points[15].half_gap;  // point 16 of specimen 2 within it
  const SlideRecord r = slide_record(input, saved, plain.y, d.protocol, design_kinds());
  EXPECT_TRUE(r.points[13].flagged);
  EXPECT_FALSE(r.points[15].flagged);
  EXPECT_EQ(r.points[13].specimen, 1);
}

TEST(SlideRecord, WithFewerThanTwoLandmarksTheSimilarityFitsEveryPoint) {
  const Matrix input = test::grain_sample(5, 12, 0.1, 0.0, 1);
  const Matrix saved = similar(input);
  const Consensus plain = plain_consensus(input);
  const SlideRecord r =
      slide_record(input, saved, plain.y, test::grain_protocol(12), std::vector<int>(12, 1));
  EXPECT_LT(r.slides.cwiseAbs().maxCoeff(), 1e-12);
}

}  // namespace
}  // namespace tav
