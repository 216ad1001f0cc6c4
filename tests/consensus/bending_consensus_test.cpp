#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "consensus/consensus.h"
#include "consensus/sample_fixture.h"
#include "support/test_support.h"

namespace tav {
namespace {

CurveProtocol landmarks_only() {
  CurveProtocol p;
  p.members = {{1, 2, 3, 4}};
  p.types = {{0, 0, 0, 0}};
  return p;
}

TEST(BendingConsensus, WithNoCurvesEqualsTheDistanceRun) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 9, 0.05, 4);
  const Consensus bend = bending_consensus(x, landmarks_only());
  const Consensus dist = distance_consensus(x, landmarks_only());
  EXPECT_EQ(bend.y, dist.y);
  EXPECT_EQ(bend.xpt, dist.xpt);
}

TEST(BendingConsensus, SlidesTheSemiLandmarksAndKeepsTheRest) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 12, 0.05, 8);
  const Consensus bend = bending_consensus(x, d.protocol);
  const Consensus plain = bending_consensus(x, landmarks_only());
  const Index k = (x.cols() - 1) / 2;
  EXPECT_EQ(bend.xpt.col(2 * k), x.col(2 * k));
  EXPECT_NEAR(bend.y.head(2 * k).norm(), 1, 1e-12);
  EXPECT_TRUE(all_finite(bend.xpt));
  EXPECT_GT(test::max_abs_diff(bend.xpt, plain.xpt), 1e-3);  // the curves did slide
}

TEST(BendingConsensus, ResultsDoNotDependOnTheThreadCount) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 40, 0.05, 12);
  const auto [one, two] =
      test::on_one_and_two_threads([&] { return bending_consensus(x, d.protocol); });
  EXPECT_EQ(one.y, two.y);
  EXPECT_EQ(one.xpt, two.xpt);
}

struct BadProtocol {
  const char* name;
  int code;
  std::vector<int> members;
  const char* says;
};

class BendingConsensusRejects : public ::testing::TestWithParam<BadProtocol> {};

TEST_P(BendingConsensusRejects, NamingTheCurve) {
  const test::Design d = test::design();
  CurveProtocol p = d.protocol;
  p.members[static_cast<std::size_t>(GetParam().code - p.numfull)] = GetParam().members;
  try {
    bending_consensus(test::sample(d, 5, 0.05, 1), p);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr(GetParam().says));
    EXPECT_THAT(e.what(), ::testing::HasSubstr("curve " + std::to_string(GetParam().code)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, BendingConsensusRejects,
    ::testing::Values(BadProtocol{"short_open_curve", 1, {4, 13, 14, 15, 16}, "curve 1 has 5"},
                      BadProtocol{"short_closed_curve", -1, {5, 6}, "curve -1 has 2"},
                      // Point 13 listed twice: two coincident points, no spline through them.
                      BadProtocol{"repeated_point", 1, {4, 13, 13, 14, 15, 16}, "coincide"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
