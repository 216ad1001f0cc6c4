#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

#include "consensus/consensus.h"
#include "consensus/normalise_rows.h"
#include "consensus/sample_fixture.h"
#include "support/test_support.h"

namespace tav {
namespace {

using test::max_abs_diff;

CurveProtocol landmarks_only(Index k) {
  CurveProtocol p;
  p.members = {{}};
  for (Index i = 1; i <= k; ++i) p.members[0].push_back(static_cast<int>(i));
  p.types = {std::vector<double>(static_cast<std::size_t>(k), 0.0)};
  return p;
}

// Summed squared distances of every specimen's points to the reference's.
double squared_distance(const Matrix& xpt, const Row& ref) {
  const Index m = xpt.cols() - 1;
  return (xpt.leftCols(m).rowwise() - ref.head(m)).squaredNorm();
}

TEST(DistanceConsensusOnto, WithoutCurvesReturnsTheNormalisedSampleAndTheReference) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 5, 0.02, 3);
  const Matrix ref = test::sample(d, 1, 0.0, 4) * 2.5;  // never normalised here
  for (const double scale : {1.0, 0.01}) {
    const Consensus r = distance_consensus_onto(x, landmarks_only(20), ref * scale);
    EXPECT_EQ(max_abs_diff(r.xpt, normalise_rows(x)), 0.0);
    EXPECT_EQ(max_abs_diff(r.y, ref * scale), 0.0);
  }
}

TEST(DistanceConsensusOnto, CurvesSlideTowardsTheReferenceAndNothingElseMoves) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 6, 0.03, 5);
  const Row ref = normalise_rows(test::sample(d, 1, 0.0, 6)).row(0);
  const Matrix before = normalise_rows(x);
  const Consensus r = distance_consensus_onto(x, d.protocol, ref);
  EXPECT_EQ(r.y, ref);
  // Landmarks 1-4 end open curves but are not moved by the closed curve; open-curve ends slide.
  // Specimens are not turned: the trailing values and every non-curve column stay.
  EXPECT_EQ(r.xpt.col(40), x.col(40));
  EXPECT_LT(squared_distance(r.xpt, ref), squared_distance(before, ref));
  // The closed curve's first and last listed points (5 and 12) stay where they were.
  for (const Index col : {8, 9, 22, 23}) EXPECT_EQ(r.xpt.col(col), before.col(col)) << col;
}

TEST(DistanceConsensusOnto, RefusesBadInputsBeforeSliding) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 3, 0.02, 7);
  const Row ref = x.row(0).head(40);
  EXPECT_THAT([&] { distance_consensus_onto(x, d.protocol, ref.head(30)); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("it has 30 numbers")));
  Matrix dup = x;
  dup.block(1, 16, 1, 2) = dup.block(1, 12, 1, 2);  // point 9 on point 7: point 8's chord void
  EXPECT_THAT([&] { distance_consensus_onto(dup, d.protocol, ref); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("specimen 2, curve -1:")));
  CurveProtocol p = d.protocol;
  p.members[3] = {2, 3};
  EXPECT_THAT([&] { distance_consensus_onto(x, p, ref); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr(
                  "curve 2 has 2 points; an open curve needs at least 3 to slide")));
}

}  // namespace
}  // namespace tav
