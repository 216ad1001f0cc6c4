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

// Summed squared Procrustes distances of the superimposed specimens to their consensus.
double summed_squared_distance(const Consensus& c) {
  const Index m = c.xpt.cols() - 1;
  return (c.xpt.leftCols(m).rowwise() - c.y.head(m)).squaredNorm();
}

TEST(DistanceConsensus, WithoutCurvesIsThePlainConsensusTwice) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 12, 0.03, 11);
  CurveProtocol landmarks;
  landmarks.members = {{1, 2, 3, 4}};
  landmarks.types = {{0, 0, 0, 0}};
  const Consensus r = distance_consensus(x, landmarks);
  const Consensus twice = plain_consensus(plain_consensus(normalise_rows(x)).xpt);
  EXPECT_EQ(max_abs_diff(r.y, twice.y), 0.0);
  EXPECT_EQ(max_abs_diff(r.xpt, twice.xpt), 0.0);
}

// Semi-landmarks displaced along their curves cost Procrustes distance that sliding gives back.
TEST(DistanceConsensus, SlidingLowersTheProcrustesDistancesOfTheSample) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 30, 0.04, 12);
  const Consensus plain = plain_consensus(x);
  const Consensus slid = distance_consensus(x, d.protocol);
  const double before = summed_squared_distance(plain), after = summed_squared_distance(slid);
  RecordProperty("plain_summed_squared_distance", std::to_string(before));
  RecordProperty("sliding_summed_squared_distance", std::to_string(after));
  EXPECT_LT(after, 0.5 * before);
  EXPECT_EQ(slid.xpt.col(40), x.col(40));  // trailing values pass through
  EXPECT_NEAR(slid.y.head(40).norm(), 1.0, 1e-12);
}

TEST(DistanceConsensus, ResultsDoNotDependOnTheThreadCount) {
  const test::Design d = test::design();
  const Matrix x = test::sample(d, 57, 0.04, 13);
  const auto [one, two] =
      test::on_one_and_two_threads([&] { return distance_consensus(x, d.protocol); });
  EXPECT_EQ(max_abs_diff(one.y, two.y), 0.0);
  EXPECT_EQ(max_abs_diff(one.xpt, two.xpt), 0.0);
}

struct Fault {
  const char* name;
  int curve_pos;             // entry of the member lists to replace, -1: none
  std::vector<int> members;  // its new members
  int duplicate_row;         // specimen (0-based) whose point 14 is put on point 16, -1: none
  const char* text;
};

class DistanceConsensusFault : public ::testing::TestWithParam<Fault> {};

TEST_P(DistanceConsensusFault, IsRefusedWithTheCurveOrSpecimenNamed) {
  const Fault& f = GetParam();
  const test::Design d = test::design();
  Matrix x = test::sample(d, 8, 0.03, 14);
  CurveProtocol p = d.protocol;
  if (f.curve_pos >= 0) p.members[static_cast<std::size_t>(f.curve_pos)] = f.members;
  if (f.duplicate_row >= 0) x.block(f.duplicate_row, 26, 1, 2) = x.block(f.duplicate_row, 30, 1, 2);
  EXPECT_THAT([&] { distance_consensus(x, p); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr(f.text)));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DistanceConsensusFault,
    ::testing::Values(
        Fault{"short_open_curve",
              3,
              {2, 3},
              -1,
              "curve 2 has 2 points; an open curve needs at least 3 to slide"},
        Fault{"short_closed_curve",
              0,
              {5, 6},
              -1,
              "curve -1 has 2 points; a closed curve needs at least 3 to slide"},
        Fault{"point_outside", 2, {4, 13, 21, 1}, -1, "curve 1 lists point 21"},
        // Point 14 on point 16 leaves point 15's chord undefined (curve 1: 4 13 14 15 16 1).
        Fault{"coincident_neighbours", -1, {}, 5, "specimen 6, curve 1:"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
