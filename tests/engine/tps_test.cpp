#include "formats/tps.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "formats/files.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

std::string tps(const std::string& name) { return data_path("tps/" + name); }

std::string all(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) out += t + "\n";
  return out;
}

// The same two specimens (four landmarks, two curves of two points) in several spellings load
// to the DATA of the rows file that lists landmarks, curve points and centroid size.
class TpsSpellings : public EngineTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TpsSpellings, LoadGivesTheDataOfTheSameSampleAsRows) {
  act("Load", tps(GetParam()));
  const EngineState& s = engine_state();
  EXPECT_EQ(s.sample, read_data_file(tps("curves_rows.txt")).x);
  EXPECT_EQ(s.loaded.ids, (std::vector<std::string>{"wing_a", ""}));
  EXPECT_THAT(status("FileBox"), HasSubstr("8 Landmarks"));
  EXPECT_TRUE(backend.messages.empty()) << all(backend.messages);
}

INSTANTIATE_TEST_SUITE_P(Files, TpsSpellings,
                         ::testing::Values("curves.tps", "crlf.tps", "tabs_blank_lines.tps"),
                         [](const auto& i) {
                           std::string n = i.param;
                           return n.substr(0, n.find('.'));
                         });

TEST_F(EngineTest, LoadShowsTheTpsWarningsOnTheConsoleAndInABox) {
  act("Load", tps("scale_mixed.tps"));
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("no scale was applied"));
  EXPECT_THAT(capture->text(), HasSubstr(backend.messages[0]));
  EXPECT_EQ(engine_state().sample.rows(), 3);
}

struct Refusal {
  const char* name;
  const char* file;
  long line;
  std::vector<std::string> says;
};

class TpsRefusal : public EngineTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(TpsRefusal, LoadStopsNamingFileLineAndCause) {
  const Refusal& c = GetParam();
  act("Load", tps("curves.tps"));
  const Matrix before = engine_state().sample;
  backend.messages.clear();
  act("Load", tps(c.file));
  const std::string said = refusal();
  EXPECT_THAT(said, HasSubstr("file " + tps(c.file) + ", line " + std::to_string(c.line) + ": "));
  for (const std::string& s : c.says) EXPECT_THAT(said, HasSubstr(s));
  EXPECT_EQ(engine_state().sample, before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TpsRefusal,
    ::testing::Values(
        Refusal{"three_dimensional", "lm3.tps", 1, {"three-dimensional"}},
        Refusal{"landmark_count_differs",
                "landmark_count.tps",
                5,
                {"specimen 2 (ID=wing_2)", "LM=3 where specimen 1 has LM=2"}},
        Refusal{"curve_points_differ",
                "curve_points.tps",
                16,
                {"specimen 2 (IMAGE=b.jpg)", "POINTS=3 in curve 2 where specimen 1 has POINTS=2"}},
        Refusal{"curve_count_differs",
                "curve_count.tps",
                8,
                {"specimen 2 has 0 curves where specimen 1 has 1"}},
        Refusal{"key_among_points",
                "too_few_points.tps",
                4,
                {"after 2 of the 3 landmarks that LM=3 on line 1"}},
        Refusal{"file_ends_among_points",
                "file_ends.tps",
                3,
                {"the file ends after 2 of the 3 landmarks"}},
        Refusal{"more_points_than_announced",
                "extra_points.tps",
                4,
                {"more point lines than LM=2 on line 1"}},
        Refusal{"decimal_comma",
                "decimal_comma.tps",
                2,
                {"\"1,5\" is not a number", "decimals with a point"}},
        Refusal{"three_values", "three_values.tps", 2, {"holds x and y, this one holds 3 values"}},
        Refusal{"unknown_key", "unknown_key.tps", 4, {"unknown key OUTLINES="}},
        Refusal{"scale_not_a_number", "bad_scale.tps", 4, {"SCALE= \"abc\" is not a number"}},
        Refusal{"negative_scale", "negative_scale.tps", 4, {"SCALE=-1 is not a positive"}},
        Refusal{"count_not_a_number",
                "bad_count.tps",
                1,
                {"LM= needs a whole number of points, found \"two\""}},
        Refusal{"no_points", "no_points.tps", 1, {"holds no points"}}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(EngineTest, RowsFilesReadAsBeforeAndCarryNoIds) {
  act("Load", tps("curves.tps"));
  act("Load", tps("curves_rows.txt"));
  EXPECT_TRUE(engine_state().loaded.ids.empty());
  EXPECT_FALSE(read_data_file(tps("curves_rows.txt")).tps);
}

TEST_F(EngineTest, LoadReferenceReadsATpsReference) {
  act("Load", tps("curves.tps"));
  act("LoadReference", tps("reference.tps"));
  EXPECT_EQ(engine_state().reference, read_data_file(tps("curves_rows.txt")).x.topRows(1));
  EXPECT_TRUE(backend.messages.empty()) << all(backend.messages);
}

TEST_F(EngineTest, LoadProtocolRefusesATpsFile) {
  act("Load", tps("curves.tps"));
  act("LoadProtocol", tps("curves.tps"));
  EXPECT_EQ(engine_state().protocol.rows.size(), 0);
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("is a TPS landmark file, not a curve protocol"));
}

}  // namespace
}  // namespace tav::test
