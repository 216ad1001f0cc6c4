// Sliders tables, read and written: chains of sliders become curves, a protocol the table cannot
// hold is refused, and a table that reads back as other curves is told.
#include "formats/sliders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "platform/error.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

struct Chain {
  const char* name;
  const char* table;
  Index k;
  Matrix protocol;
};

class SlidersChains : public ::testing::TestWithParam<Chain> {};

TEST_P(SlidersChains, BecomeCurvesWithTheOtherPointsAsLandmarks) {
  const Chain& c = GetParam();
  ASSERT_TRUE(is_sliders_table(c.table));
  EXPECT_EQ(protocol_from_sliders(read_sliders("s.csv", c.table), c.k, "s.csv"), c.protocol);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlidersChains,
    ::testing::Values(
        Chain{"open_rows_in_any_order", "2,3,4\n1,2,3\n", 5,
              rows({{0, 0, 1, 0},
                    {0, 0, 4, 0},
                    {0, 0, 5, 0},
                    {1, 0, 1, 0},
                    {1, 0, 2, 1},
                    {1, 0, 3, 1},
                    {1, 0, 4, 0}})},
        Chain{"loop_returns_to_its_start", "before;slider;after\n3;1;2\n1;2;3\n2;3;1\n", 4,
              rows({{0, 0, 4, 0}, {-1, 0, 1, 1}, {-1, 0, 2, 1}, {-1, 0, 3, 1}})},
        // Sliders that run from landmark 1 round to it again: one closed curve through 1, which
        // it lists once (a curve listing a point twice is refused by the protocol check).
        Chain{"loop_through_a_landmark", "1 2 3\n2 3 4\n3 4 1\n", 5,
              rows({{0, 0, 1, 0},
                    {0, 0, 5, 0},
                    {-1, 0, 1, 0},
                    {-1, 0, 2, 1},
                    {-1, 0, 3, 1},
                    {-1, 0, 4, 1}})},
        // The loop starts at its first slider in table order, 7.
        Chain{"two_open_curves_and_a_loop", "b\ts\ta\n1 5 2\n6 7 8\n8 6 7\n7 8 6\n2 9 3\n", 9,
              rows({{0, 0, 1, 0},
                    {0, 0, 2, 0},
                    {0, 0, 3, 0},
                    {0, 0, 4, 0},
                    {-1, 0, 7, 1},
                    {-1, 0, 8, 1},
                    {-1, 0, 6, 1},
                    {1, 0, 1, 0},
                    {1, 0, 5, 1},
                    {1, 0, 2, 0},
                    {2, 0, 2, 0},
                    {2, 0, 9, 1},
                    {2, 0, 3, 0}})}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(SlidersText, RefusesASlidingPointThatEndsAnOpenCurve) {
  CurveProtocol p;
  p.numfull = 0, p.numopen = 1;
  p.members = {{1}, {2, 3, 4}};
  p.types = {{0}, {1, 1, 0}};
  EXPECT_THAT([&] { sliders_text(p); },
              ::testing::ThrowsMessage<Error>(HasSubstr("point 2 slides at an end")));
}

TEST(SlidersText, RefusesAProtocolInWhichNoPointSlides) {
  CurveProtocol p;
  p.numfull = 0, p.numopen = 1;
  p.members = {{1, 2}, {1, 2}};
  p.types = {{0, 0}, {0, 0}};
  EXPECT_THAT([&] { sliders_text(p); },
              ::testing::ThrowsMessage<Error>(HasSubstr("no point of the protocol slides")));
}

TEST(SlidersText, RefusesAPointThatSlidesOnTwoCurves) {
  CurveProtocol p;
  p.numfull = 0, p.numopen = 2;
  p.members = {{1, 2, 3}, {1, 4, 5, 2}, {2, 5, 3}};
  p.types = {{0, 0, 0}, {0, 1, 1, 0}, {0, 1, 0}};
  EXPECT_THAT([&] { sliders_text(p); }, ::testing::ThrowsMessage<Error>(
                                            HasSubstr("point 5 slides on curve 1 and on curve 2")));
}

// A protocol over 8 points: its curves by code (closed ones negative), types 0 landmark,
// 1 semi-landmark, 2 helper; curve 0 lists the points no other curve slides.
struct TableCase {
  const char* name;
  std::map<int, std::vector<std::pair<int, double>>> curves;
  const char* warned;  // what the warning says, nullptr when the table says it all
};

CurveProtocol protocol_of(const TableCase& c) {
  CurveProtocol p;
  p.numfull = std::min(0, c.curves.begin()->first);
  p.numopen = std::max(0, c.curves.rbegin()->first);
  p.members.resize(static_cast<size_t>(p.numopen - p.numfull + 1));
  p.types.resize(p.members.size());
  for (const auto& [code, points] : c.curves)
    for (const auto& [point, type] : points) {
      p.members[static_cast<size_t>(code - p.numfull)].push_back(point);
      p.types[static_cast<size_t>(code - p.numfull)].push_back(type);
    }
  return p;
}

// Every curve other than curve 0, as (closed, its points in order), in a set order.
using Curves = std::multiset<std::pair<bool, std::vector<int>>>;

Curves curves_of(const CurveProtocol& p) {
  Curves out;
  for (int j = p.numfull; j <= p.numopen; ++j)
    if (j != 0) out.insert({j < 0, p.members_of(j)});
  return out;
}

Curves curves_of(const Matrix& table) {
  std::map<int, std::vector<int>> by_code;
  for (Index i = 0; i < table.rows(); ++i)
    if (table(i, 0) != 0)
      by_code[static_cast<int>(table(i, 0))].push_back(static_cast<int>(table(i, 2)));
  Curves out;
  for (const auto& [code, points] : by_code) out.insert({code < 0, points});
  return out;
}

void PrintTo(const TableCase& c, std::ostream* out) { *out << c.name; }

class SlidersTableLosses : public ::testing::TestWithParam<TableCase> {};

// The table is read back by the program itself; it tells of a loss exactly when the curves it
// reads back are not the protocol's.
TEST_P(SlidersTableLosses, AreToldExactlyWhenTheTableReadsBackAsOtherCurves) {
  const CurveProtocol p = protocol_of(GetParam());
  const std::string table = sliders_text(p);
  const Curves back = curves_of(protocol_from_sliders(read_sliders("s.csv", table), 8, "s.csv"));
  const std::vector<std::string> losses = sliders_table_losses(p);
  EXPECT_EQ(back == curves_of(p), losses.empty()) << table;
  if (GetParam().warned) {
    ASSERT_EQ(losses.size(), 1u);
    EXPECT_THAT(losses[0], HasSubstr(GetParam().warned));
  } else {
    EXPECT_TRUE(losses.empty()) << losses.front();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlidersTableLosses,
    ::testing::Values(
        TableCase{"open_between_landmarks",
                  {{0, {{1, 0}, {2, 0}}}, {1, {{1, 0}, {3, 1}, {4, 1}, {2, 0}}}},
                  nullptr},
        TableCase{"helpers_slide_alike",
                  {{0, {{1, 0}, {2, 0}}}, {1, {{1, 0}, {3, 2}, {4, 1}, {5, 2}, {2, 0}}}},
                  nullptr},
        TableCase{"open_through_a_landmark",
                  {{0, {{1, 0}, {2, 0}, {5, 0}}},
                   {1, {{1, 0}, {3, 1}, {4, 1}, {5, 0}, {6, 1}, {7, 1}, {2, 0}}}},
                  "curve 1 runs through landmark 5 inside it"},
        TableCase{"closed_without_landmarks",
                  {{-1, {{3, 1}, {4, 1}, {5, 1}, {6, 1}}}, {0, {{1, 0}}}},
                  nullptr},
        TableCase{"closed_from_its_landmark",
                  {{-1, {{1, 0}, {3, 1}, {4, 1}, {5, 1}}}, {0, {{1, 0}}}},
                  nullptr},
        TableCase{"closed_with_its_landmark_later",
                  {{-1, {{3, 1}, {4, 1}, {1, 0}, {5, 1}}}, {0, {{1, 0}}}},
                  "list landmark 1 first"},
        TableCase{"closed_through_two_landmarks",
                  {{-1, {{1, 0}, {3, 1}, {4, 1}, {2, 0}, {5, 1}, {6, 1}}}, {0, {{1, 0}, {2, 0}}}},
                  "closed through landmarks 1 and 2"},
        TableCase{"open_ending_where_it_begins",
                  {{0, {{1, 0}}}, {1, {{1, 0}, {3, 1}, {4, 1}, {5, 1}, {1, 0}}}},
                  "curve 1 begins and ends at landmark 1"},
        TableCase{"a_curve_of_landmarks_only",
                  {{0, {{1, 0}, {2, 0}}}, {1, {{1, 0}, {2, 0}}}, {2, {{1, 0}, {3, 1}, {2, 0}}}},
                  "curve 1 holds only landmarks"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
