#include "consensus/curve_walk.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

#include "platform/parallel.h"

namespace tav {
namespace {

// Codes -2..2 over 8 points; curve 0 holds the landmarks.
CurveProtocol protocol() {
  CurveProtocol p;
  p.numfull = -2;
  p.numopen = 2;
  p.members = {{1, 2, 3}, {4, 5, 6}, {1, 8}, {3, 7, 8}, {8, 2, 6, 1}};
  p.types = {{1, 1, 1}, {1, 1, 1}, {0, 0}, {0, 1, 0}, {0, 1, 1, 0}};
  return p;
}

TEST(SlidingCurves, WalkIncreasingCodesSkippingTheLandmarks) {
  const auto curves = sliding_curves(protocol(), 8, 3, 3);
  ASSERT_EQ(curves.size(), 4u);
  const int codes[] = {-2, -1, 1, 2};
  for (std::size_t c = 0; c < 4; ++c) {
    EXPECT_EQ(curves[c].code, codes[c]);
    EXPECT_EQ(curves[c].closed, codes[c] < 0);
  }
  EXPECT_EQ(curves[3].columns, (std::vector<Index>{14, 15, 2, 3, 10, 11, 0, 1}));
}

struct BadCase {
  const char* name;
  int code;
  std::vector<int> members;
  const char* text;
};

class SlidingCurvesRefuse : public ::testing::TestWithParam<BadCase> {};

TEST_P(SlidingCurvesRefuse, NamesTheCurveAndTheFault) {
  CurveProtocol p = protocol();
  p.members[static_cast<std::size_t>(GetParam().code - p.numfull)] = GetParam().members;
  EXPECT_THAT([&] { sliding_curves(p, 8, 3, 3); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr(GetParam().text)));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SlidingCurvesRefuse,
    ::testing::Values(BadCase{"short_open",
                              2,
                              {2, 6},
                              "curve 2 has 2 points; an open curve needs at least 3 to slide"},
                      BadCase{"short_closed",
                              -1,
                              {4, 5},
                              "curve -1 has 2 points; a closed curve needs at least 3"},
                      BadCase{"point_beyond_k",
                              1,
                              {3, 9, 8},
                              "curve 1 lists point 9, but the specimens have points 1 to 8"},
                      BadCase{"point_zero", -2, {1, 0, 3}, "curve -2 lists point 0"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(WalkCurves, LaterCurvesSeeEarlierResultsAndTrailingValuesStay) {
  CurveProtocol p;
  p.numfull = 0;
  p.numopen = 2;
  p.members = {{1}, {1, 2, 3}, {3, 4, 5}};  // point 3 is shared
  const auto curves = sliding_curves(p, 5, 3, 3);
  Matrix x = Matrix::Zero(3, 11);
  x.col(10) << 7, 8, 9;
  // Each curve adds its code to every coordinate it reads: point 3 gets 1 + 2.
  walk_curves(x, curves,
              [&](std::size_t c, const Row& cur) { return Row(cur.array() + curves[c].code); });
  for (Index i = 0; i < 3; ++i) {
    EXPECT_EQ(x(i, 0), 1.0);
    EXPECT_EQ(x(i, 4), 3.0);
    EXPECT_EQ(x(i, 8), 2.0);
    EXPECT_EQ(x(i, 10), 7.0 + double(i));
  }
}

TEST(WalkCurves, NotANumberNamesTheFirstSpecimenAndCurveWhateverTheThreads) {
  const auto curves = sliding_curves(protocol(), 8, 3, 3);
  for (const int threads : {1, 2}) {
    set_thread_count(threads);
    Matrix x = Matrix::Random(40, 17);
    // Specimen 31 fails on curve -1 (second in the walk); specimens 7 and 12 on curve 2 only.
    x(6, 14) = 42.0;   // point 8 of specimen 7: first point of curve 2
    x(11, 14) = 42.0;  // specimen 12 likewise
    x(30, 6) = 99.0;   // point 4 of specimen 31: first point of curve -1
    EXPECT_THAT(
        [&] {
          walk_curves(x, curves, [&](std::size_t, const Row& cur) {
            return cur(0) == 99.0 || cur(0) == 42.0 ? Row(cur * std::nan("")) : cur;
          });
        },
        ::testing::ThrowsMessage<Error>(::testing::HasSubstr("specimen 31, curve -1:")));
  }
  set_thread_count(0);
}

}  // namespace
}  // namespace tav
