// Sliders tables as curve protocols: chains become curves, the bundled example's protocol as a
// sliders table gives the same consensus, and the loaded protocol writes back as the table.
#include "formats/sliders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "engine_fixture.h"
#include "formats/files.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

const std::string examples = std::string(TAV_SOURCE_DIR) + "/examples/";

// The example's helper points (25 and 32, type 2 in its protocol) are sliders in the table:
// the curves, and so the one-pass bending-energy consensus, are the same; only their type is.
TEST_F(EngineTest, ExampleProtocolAsSlidersTableGivesTheSameOnePassBendingConsensus) {
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_protocol.txt");
  const EngineState original = engine_state();
  ASSERT_GT(original.REFERENCE.size(), 0);
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_sliders.csv");
  const EngineState& s = engine_state();
  EXPECT_EQ(s.curves.members, original.curves.members);
  EXPECT_EQ(s.REFERENCE, original.REFERENCE);
  EXPECT_EQ(s.DATA, original.DATA);
  Row types = original.lmtypelist;
  types(24) = types(31) = 1;
  EXPECT_EQ(s.lmtypelist, types);
  EXPECT_THAT(status("ProtoBox"), HasSubstr("4 Landmarks \n 28 Semi-Landmarks\n 0 Helper Points"));
}

TEST_F(EngineTest, LoadedProtocolWritesBackAsTheExampleSlidersTable) {
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_protocol.txt");
  EXPECT_EQ(sliders_text(engine_state().curves), read(examples + "shells_sliders.csv"));
}

struct Chain {
  const char* name;
  const char* table;
  Index k;
  Matrix protocol;
};

class SlidersChains : public EngineTest, public ::testing::WithParamInterface<Chain> {};

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

struct Refusal {
  const char* name;
  const char* table;
  long line;
  const char* says;
  // A file of tests/data/faults given as the protocol instead of `table`: a table that is not
  // one, refused with what a protocol's rows hold rather than a landmark reader's words.
  const char* fixture = nullptr;
};

class SlidersRefusal : public EngineTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SlidersRefusal, LoadProtocolStopsNamingFileAndLineAndChangesNothing) {
  const Refusal& c = GetParam();
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_protocol.txt");
  const EngineState before = engine_state();
  const std::string path =
      c.fixture ? data_path(std::string("faults/") + c.fixture) : file("s.csv", c.table);
  backend.messages.clear();
  act("LoadProtocol", path);
  const std::string said = refusal();
  EXPECT_THAT(said, HasSubstr("file " + path + ", line " + std::to_string(c.line) + ": "));
  EXPECT_THAT(said, HasSubstr(c.says));
  if (c.fixture) {
    EXPECT_THAT(said, HasSubstr("; a curve-protocol row holds four whole numbers (curve code"));
    EXPECT_THAT(said, HasSubstr("and a sliders row three point numbers (before, slider, after)"));
  }
  EXPECT_EQ(engine_state().PROTOC, before.PROTOC);
  EXPECT_EQ(engine_state().curves, before.curves);
  EXPECT_EQ(engine_state().DATA, before.DATA);
  EXPECT_EQ(engine_state().REFERENCE, before.REFERENCE);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlidersRefusal,
    ::testing::Values(
        Refusal{"neighbours_disagree", "1,5,6\n7,6,8\n", 1, "but line 2 gives 7 before 6"},
        Refusal{"slides_twice", "before,slider,after\n1,5,6\n\n2,5,7\n", 4,
                "point 5 slides a second time (first on line 2)"},
        Refusal{"beyond_the_data", "1,5,6\n5,6,40\n", 2,
                "names point 40, but the data have 32 points"},
        Refusal{"own_neighbour", "5,5,6\n", 1, "is its own neighbour"},
        Refusal{"two_values", "1,5,6\n5,6\n", 2,
                "expected three point numbers (before, slider, after), found 2"},
        Refusal{"not_a_point", "1,5,6\n5,6,x\n", 2, "found \"x\" in column 3"},
        Refusal{"header_then_a_short_row", "", 2, "found 2 values", "sliders_header_short_row.csv"},
        Refusal{"quoted_header_then_a_word", "", 2,
                "found \"x\" in column 3, which is not a number", "sliders_quoted_header.csv"},
        Refusal{"point_zero", "", 1, "found \"0\" in column 1", "sliders_point_zero.tsv"},
        Refusal{"word_in_a_curve_protocol_row", "", 2,
                "found \"x\" in column 3, which is not a number", "protocol_word_in_row.txt"},
        Refusal{"curve_protocol_under_names", "", 1,
                "found a line of names, \"curve,zero,point,type\", above rows of 4 "
                "numbers; only a sliders table may begin with a line of names",
                "protocol_names_line.csv"}),
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
