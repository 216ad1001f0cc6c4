// Landmark files of other programs: NTS, Morphologika and MorphoJ text read into the same
// configurations as their rows twin; malformed files refused naming file, line and cause, with
// nothing loaded changed; a sample saved in the format its name ends with.
#include "formats/formats.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "formats/files.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

std::string fixture(const std::string& name) { return data_path("formats/" + name); }

std::string all(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) out += t + "\n";
  return out;
}

struct Twin {
  const char* name;
  const char* file;
  FileKind kind;
  const char* warning;  // what the user hears about parts not read, "" for nothing
};

class ForeignTwin : public EngineTest, public ::testing::WithParamInterface<Twin> {};

TEST_P(ForeignTwin, LoadGivesTheConfigurationsOfTheRowsTwinWithTheLabelsAsIds) {
  const Twin& c = GetParam();
  EXPECT_EQ(recognise_file(fixture(c.file)), c.kind);
  act("Load", fixture(c.file));
  const EngineState& s = engine_state();
  EXPECT_EQ(s.sample,
            read_data_file(fixture("twin_rows.txt")).x);  // the trailing value is the centroid size
  EXPECT_EQ(s.loaded.ids, (std::vector<std::string>{"shell_a", "shell_b", "shell_c"}));
  EXPECT_THAT(status("FileBox"), HasSubstr("as " + std::string(file_kind_name(c.kind))));
  EXPECT_THAT(status("FileBox"), HasSubstr("3 Specimens"));
  EXPECT_THAT(status("FileBox"), HasSubstr("5 Landmarks"));
  if (*c.warning) {
    ASSERT_EQ(backend.messages.size(), 1u);
    EXPECT_THAT(backend.messages[0], HasSubstr(c.warning));
  } else {
    EXPECT_TRUE(backend.messages.empty()) << all(backend.messages);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, ForeignTwin,
                         ::testing::Values(Twin{"nts", "twin.nts", FileKind::Nts, ""},
                                           Twin{"morphologika", "twin_morphologika.txt",
                                                FileKind::Morphologika, "[wireframe] not used"},
                                           Twin{"morphoj", "twin_morphoj.txt", FileKind::MorphoJ,
                                                ""}),
                         [](const auto& i) { return std::string(i.param.name); });

struct Refusal {
  const char* name;
  const char* text;
  long line;
  std::vector<std::string> says;
  const char* fixture = nullptr;  // a file of tests/data/formats read instead of `text`
};

class ForeignRefusal : public EngineTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ForeignRefusal, LoadStopsNamingFileLineAndWhatWasExpectedAndChangesNothing) {
  const Refusal& c = GetParam();
  act("Load", fixture("twin.nts"));
  const EngineState before = engine_state();
  const std::string bad = c.fixture ? fixture(c.fixture) : file("bad.txt", c.text);
  backend.messages.clear();
  act("Load", bad);
  const std::string said = refusal();
  EXPECT_THAT(said, HasSubstr("file " + bad + ", line " + std::to_string(c.line) + ": "));
  for (const std::string& s : c.says) EXPECT_THAT(said, HasSubstr(s));
  EXPECT_EQ(engine_state().sample, before.sample);
  EXPECT_EQ(engine_state().loaded.ids, before.loaded.ids);
  EXPECT_EQ(engine_state().loaded.file, before.loaded.file);
}

INSTANTIATE_TEST_SUITE_P(
    Nts, ForeignRefusal,
    ::testing::Values(
        Refusal{
            "nts_three_dimensional", "1 1 6 0 DIM=3\n1 2 3 4 5 6\n", 1, {"only two-dimensional"}},
        Refusal{"nts_odd_count", "1 1 5 0 DIM=2\n1 2 3 4 5\n", 1, {"an even count"}},
        Refusal{"nts_missing_value",
                "\"c\n1 2 4 1 -999 DIM=2\n0 0 1 1\n0 -999 1 1\n",
                4,
                {"value 2 of specimen 2 is the missing-value code -999"}},
        Refusal{"nts_too_few_values",
                "1 2 4 0 DIM=2\n0 0 1 1\n2 2\n",
                3,
                {"the file ends where value 3 of specimen 2 was expected"}},
        Refusal{"nts_too_many_values", "1 1 4 0 DIM=2\n0 0 1 1\n2\n", 3, {"after the 1×4 values"}},
        Refusal{"nts_too_few_labels", "1 2L 4 0 DIM=2\na\n", 2, {"a specimen label was expected"}},
        Refusal{"nts_decimal_comma",
                "1 1 4 0 DIM=2\n0 0 1,5 1\n",
                2,
                {"value 3 of specimen 1", "\"1,5\"", "decimals with a point"}},
        Refusal{"nts_not_a_matrix", "1 x 4 0 DIM=2\n", 1, {"expected the number of specimens"}},
        Refusal{"nts_bad_flag", "1 1 4 2 DIM=2\n", 1, {"the missing-value flag (0 or 1)"}},
        // Counts far beyond any whole number a count can hold are refused, not converted.
        Refusal{"nts_huge_count", "1 4e58 4 0 DIM=2\n", 1, {"expected the number of specimens"}},
        Refusal{"nts_huge_dimension", "1 1 4 0 DIM=1e300\n", 1, {"the dimension after DIM="}},
        Refusal{"nts_unknown_parameter",
                "1 1 4 0 DIM=2 ROWS\n",
                1,
                {"expected DIM=2 or the end of the parameter line"}}),
    [](const auto& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Morphologika, ForeignRefusal,
    ::testing::Values(
        Refusal{"three_dimensional",
                "[individuals]\n1\n[landmarks]\n1\n[dimensions]\n3\n[rawpoints]\n1 2 3\n",
                5,
                {"[dimensions] 3", "only two-dimensional"}},
        Refusal{"too_few_points",
                "[individuals]\n2\n[landmarks]\n2\n[dimensions]\n2\n[rawpoints]\n1 2\n3 4\n5 6\n",
                10,
                {"[rawpoints] holds 3 point lines", "2 × [landmarks] 2 = 4 were expected"}},
        Refusal{"three_values",
                "[individuals]\n1\n[landmarks]\n2\n[dimensions]\n2\n[rawpoints]\n1 2\n3 4 5\n",
                9,
                {"expected x and y of point 2 of individual 1, found 3 values"}},
        Refusal{"names_short",
                "[individuals]\n2\n[landmarks]\n1\n[dimensions]\n2\n[names]\na\n[rawpoints]\n1 "
                "2\n3 4\n",
                8,
                {"[names] holds 1 names where [individuals] gives 2"}},
        Refusal{"no_rawpoints",
                "[individuals]\n1\n[landmarks]\n1\n[dimensions]\n2\n",
                6,
                {"the file ends without a [rawpoints] section"}},
        Refusal{"count_not_whole",
                "[individuals]\n1.5\n",
                2,
                {"[individuals] needs one positive whole number"}},
        Refusal{"unclosed_section",
                "' c\n[individuals\n1\n",
                2,
                {"expected a section name in brackets"}},
        Refusal{"not_a_number",
                "[individuals]\n1\n[landmarks]\n1\n[dimensions]\n2\n[rawpoints]\n1 y\n",
                8,
                {"y of point 1 of individual 1", "\"y\" is not a number"}}),
    [](const auto& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    MorphoJ, ForeignRefusal,
    ::testing::Values(
        Refusal{"ragged",
                "ID,x1,y1,x2,y2\na,1,2,3,4\nb,1,2,3\n",
                3,
                {"expected a label and 4 coordinates as on line 2, found 3"}},
        Refusal{"odd_count", "a;1;2;3\n", 1, {"an even count of coordinates", "semicolons"}},
        Refusal{"header_names_x_without_y",
                "ID;x1;y1;x2\na;1;2;3\n",
                1,
                {"column 4 \"x2\" names x2 but no column names y2"}},
        Refusal{"decimal_comma",
                "ID;x1;y1;x2;y2\na;1,5;2;3;4\n",
                2,
                {"value 1 of specimen \"a\": \"1,5\" is not a number", "decimals with a point"}},
        Refusal{"text_among_numbers", "ID\tx1\ty1\na\t1\tn/a\n", 2, {"\"n/a\" is not a number"}}),
    [](const auto& i) { return std::string(i.param.name); });

// A line of column names decides how the columns below it are read; names that settle nothing,
// and a word among numbers, are refused with their line.
INSTANTIATE_TEST_SUITE_P(
    Headers, ForeignRefusal,
    ::testing::Values(
        Refusal{"na_as_the_trailing_value_of_line_1",
                "",
                1,
                {"value 11 \"NA\" is not a number"},
                "twin_rows_na.csv"},
        Refusal{"na_under_a_header",
                "x1,y1,x2,y2,t\n1,2,3,4,5\n1,NA,3,4,5\n",
                3,
                {"value 2 \"NA\" is not a number"}},
        Refusal{"names_that_settle_nothing",
                "",
                1,
                {"names no column as a coordinate", "as MorphoJ text, column 1 \"a\" holds each",
                 "as rows, column 11 \"k\" holds the trailing value",
                 "Name the coordinate columns x1, y1, ..., xk, yk", "or delete the header line"},
                "header_unsettled.csv"},
        Refusal{"other_columns_named",
                "",
                1,
                {"columns 2 \"Sex\" and 13 \"Age\" are neither a coordinate",
                 "remove the other columns"},
                "morphoj_other_columns.txt"},
        Refusal{"log_size_without_the_size",
                "ID\tLogCentroidSize\tx1\ty1\na\t1\t2\t3\n",
                1,
                {"column 2 \"LogCentroidSize\" is neither"}},
        Refusal{"only_coordinates",
                "x1,y1,x2,y2\n1,2,3,4\n",
                1,
                {"names only coordinates", "a label column first", "a trailing column last"}},
        Refusal{"coordinate_named_twice", "ID,x1,y1,x1,y2\na,1,2,3,4\n", 1, {"both name x1"}},
        Refusal{"point_left_out",
                "ID,x1,y1,x3,y3\na,1,2,3,4\n",
                1,
                {"names points up to 3 but not point 2"}},
        Refusal{"column_among_the_coordinates",
                "x1,y1,CS,x2,y2,t\n1,2,3,4,5,6\n",
                1,
                {"column 3 \"CS\" is among the coordinates"}},
        Refusal{"rows_wider_than_their_header",
                "x1\ty1\tx2\ty2\tt\r\n1\t2\t3\t4\t5\t6\t7\r\n",
                2,
                {"7 numbers where the header on line 1 names 5 columns"}},
        Refusal{"rows_split_by_semicolons", "x1;y1;t\n1;2;3\n", 1, {"split by semicolons"}},
        Refusal{"morphoj_narrower_than_its_header",
                "ID,x1,y1,x2,y2\na,1,2\n",
                2,
                {"expected a label and 4 coordinates as the header on line 1 names, found 2"}}),
    [](const auto& i) { return std::string(i.param.name); });

// The rows of the row layout under a header of coordinate names and a trailing column, as a
// spreadsheet exports them, changed as other exports write them.
struct HeaderRows {
  const char* name;
  std::string (*changed)(std::string);
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

class RowsUnderAHeader : public EngineTest, public ::testing::WithParamInterface<HeaderRows> {};

TEST_P(RowsUnderAHeader, AreReadAsTheRowsTheyAreWithTheHeaderSkippedAndSaid) {
  const std::string path =
      file("exported.csv", GetParam().changed(read(fixture("twin_rows_header.csv"))));
  EXPECT_EQ(recognise_file(path), FileKind::Rows);
  act("Load", path);
  EXPECT_TRUE(backend.messages.empty()) << all(backend.messages);
  const DataFile twin = read_data_file(fixture("twin_rows.txt"));
  ASSERT_EQ(engine_state().sample.rows(), twin.x.rows());
  ASSERT_EQ(engine_state().sample.cols(), twin.x.cols());
  EXPECT_EQ(engine_state().sample, twin.x);
  EXPECT_EQ(engine_state().loaded.trailing_text, twin.trailing);
  EXPECT_EQ(status("FileBox"),
            "File: exported.csv as numeric rows (header line 1 skipped) \n   3 Specimens \n   5 "
            "Landmarks");
}

INSTANTIATE_TEST_SUITE_P(
    Exports, RowsUnderAHeader,
    ::testing::Values(HeaderRows{"commas", [](std::string t) { return t; }},
                      HeaderRows{"tabs", [](std::string t) { return replaced(t, ",", "\t"); }},
                      HeaderRows{
                          "crlf_and_byte_order_mark",
                          [](std::string t) { return "\xEF\xBB\xBF" + replaced(t, "\n", "\r\n"); }},
                      HeaderRows{"quoted_names",
                                 [](std::string t) {
                                   const size_t end = t.find('\n');
                                   return "\"" + replaced(t.substr(0, end), ",", "\",\"") + "\"" +
                                          t.substr(end);
                                 }},
                      // The names say which column holds which coordinate: all x first, then all y.
                      HeaderRows{"coordinates_in_another_order",
                                 [](std::string) {
                                   return std::string(
                                       "x1,x2,x3,x4,x5,y1,y2,y3,y4,y5,specimen\n"
                                       "0,3,3,0,1.5,0,0,4,4,2,5\n"
                                       "10,16,16,10,13,10,10,18,18,14,10\n"
                                       "0,0,-4,-4,-2,0,3,3,0,1.5,5\n");
                                 }}),
    [](const auto& i) { return std::string(i.param.name); });

// MorphoJ text with size columns before the coordinates (CR LF, a byte order mark): the
// coordinates are taken by their names, the centroid size is the trailing value, and the user
// hears that its logarithm was not read.
TEST_F(EngineTest, MorphojSizeColumnsAreNotAPointAndTheCentroidSizeIsKept) {
  act("Load", fixture("twin_morphoj_sizes.txt"));
  const EngineState& s = engine_state();
  const Matrix twin = read_data_file(fixture("twin_rows.txt")).x;
  ASSERT_EQ(s.sample.cols(), 11);
  EXPECT_EQ(s.sample.leftCols(10), twin.leftCols(10));
  EXPECT_EQ(s.sample.col(10), (Eigen::VectorXd(3) << 15.98, 31.96, 15.98).finished());
  EXPECT_EQ(s.loaded.ids, (std::vector<std::string>{"shell_a", "shell_b", "shell_c"}));
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0],
              HasSubstr("line 1: column 3 \"LogCentroidSize\" was not read: it holds the "
                        "logarithm of the centroid size, which column 2 \"CentroidSize\" gives"));
}

struct Ending {
  const char* name;
  const char* file;
  FileKind kind;
};

class SaveByEnding : public EngineTest, public ::testing::WithParamInterface<Ending> {};

// The window's Save writes another program's format when the name ends as its files do; the
// file reads back to the sample with its IDs.
TEST_P(SaveByEnding, WritesTheFormatTheNameEndsWith) {
  act("Load", fixture("twin_morphoj.txt"));
  const std::string path = (dir / GetParam().file).string();
  act("Save", path);
  EXPECT_EQ(recognise_file(path), GetParam().kind);
  const DataFile back = read_data_file(path);
  const Matrix& data = engine_state().sample;
  ASSERT_EQ(back.x.cols(), data.cols());
  EXPECT_EQ(back.x.leftCols(10), data.leftCols(10));
  if (GetParam().kind != FileKind::Rows) {
    EXPECT_EQ(back.specimen_ids, engine_state().loaded.ids);
  }
}

INSTANTIATE_TEST_SUITE_P(Endings, SaveByEnding,
                         ::testing::Values(Ending{"nts", "out.NTS", FileKind::Nts},
                                           Ending{"tps", "out.tps", FileKind::Tps},
                                           Ending{"morphologika", "out.morphologika.txt",
                                                  FileKind::Morphologika},
                                           Ending{"morphoj", "out.morphoj.txt", FileKind::MorphoJ},
                                           Ending{"tsv", "out.tsv", FileKind::MorphoJ},
                                           Ending{"rows", "out.txt", FileKind::Rows}),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
