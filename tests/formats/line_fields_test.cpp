// What splits a line into its fields, in every reader, whatever the locale: blanks, tabs, commas
// and line ends between the numbers of a row; white space (form feeds and vertical tabs too)
// between the words of NTS, Morphologika and TPS; semicolons too between the point numbers of a
// sliders table; one chosen separator between the fields of a table with a header.
#include "formats/line_fields.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "formats/formats.h"
#include "formats/input.h"
#include "formats/protocol.h"
#include "formats/sliders.h"
#include "formats/tps.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

// The coordinates of every specimen, row after row, without the trailing value.
std::vector<double> coordinates(const Matrix& x) {
  std::vector<double> out;
  for (Index i = 0; i < x.rows(); ++i)
    for (Index c = 0; c + 1 < x.cols(); ++c) out.push_back(x(i, c));
  return out;
}

// Each reader, reduced to the numbers it reads from `text`.
std::vector<double> rows_of(const std::string& text) { return read_rows("f", text).values; }
std::vector<double> nts_of(const std::string& text) { return coordinates(read_nts("f", text).x); }
std::vector<double> morphologika_of(const std::string& text) {
  return coordinates(read_morphologika("f", text).x);
}
std::vector<double> morphoj_of(const std::string& text) {
  return coordinates(read_morphoj("f", text).x);
}
std::vector<double> tps_of(const std::string& text) {
  return coordinates(read_tps_text("f", text).x);
}
std::vector<double> sliders_of(const std::string& text) {
  std::vector<double> out;
  for (const SliderRow& r : read_sliders("f", text))
    for (Index p : {r.before, r.slider, r.after}) out.push_back(static_cast<double>(p));
  return out;
}
// A protocol's rows pass the row check: nothing read, nothing refused.
std::vector<double> protocol_rows_of(const std::string& text) {
  if (const auto problem = protocol_row_problem("f", text)) throw Error(*problem);
  return {};
}

struct Split {
  const char* name;
  std::vector<double> (*read)(const std::string&);
  std::string text;
  std::vector<double> numbers;  // what is read, when refused is empty
  std::string refused = "";     // what the refusal says
};

void PrintTo(const Split& s, std::ostream* out) { *out << s.name; }

class Splits : public ::testing::TestWithParam<Split> {};

TEST_P(Splits, ReadTheFieldsTheReadersRuleGivesOrRefuseNamingTheValue) {
  const Split& c = GetParam();
  if (!c.refused.empty()) {
    EXPECT_THAT([&] { c.read(c.text); }, ::testing::ThrowsMessage<Error>(HasSubstr(c.refused)));
    return;
  }
  EXPECT_EQ(c.read(c.text), c.numbers);
}

const char* const kMorphologikaHead =
    "[individuals]\n1\n[landmarks]\n2\n[dimensions]\n2\n[rawpoints]\n";

INSTANTIATE_TEST_SUITE_P(
    Readers, Splits,
    ::testing::Values(
        Split{"rows_by_blanks_tabs_commas", rows_of, "1 2\t3,4 ,5\r\n", {1, 2, 3, 4, 5}},
        Split{"rows_refuse_a_form_feed",
              rows_of,
              "1\f2 3\n",
              {},
              "line 1: value 1 \"1?2\" holds the byte 0x0C, which is not text"},
        Split{"rows_refuse_a_vertical_tab",
              rows_of,
              "1 2\v\n",
              {},
              "line 1: value 2 \"2?\" holds the byte 0x0B, which is not text"},
        Split{"rows_not_by_semicolons", rows_of, "1;2 3\n", {}, "value 1 \"1;2\" is not a number"},
        Split{"rows_not_by_a_no_break_space",
              rows_of,
              "1\xC2\xA0 2\n",
              {},
              "value 1 \"1??\" is not a number"},
        Split{"nts_by_white_space", nts_of, "1 1 4 0\fDIM=2\n0\v0\t1 1\r\n", {0, 0, 1, 1}},
        Split{"nts_a_quote_ends_a_word_and_the_line",
              nts_of,
              "1 1 4 0 DIM=2\n0 0\"9 9\n1 1\n",
              {0, 0, 1, 1}},
        Split{"nts_not_by_a_no_break_space",
              nts_of,
              "1 1 4 0 DIM=2\n0\xC2\xA0 0 1 1\n",
              {},
              "line 2: expected value 1 of specimen 1 (a number), found \"0??\""},
        Split{"nts_not_by_commas",
              nts_of,
              "1 1 4 0 DIM=2\n0,0 1 1\n",
              {},
              "found \"0,0\"; write decimals with a point"},
        Split{"morphologika_by_white_space",
              morphologika_of,
              std::string(kMorphologikaHead) + "1\f2\n3\v 4\n",
              {1, 2, 3, 4}},
        Split{"morphologika_not_by_semicolons",
              morphologika_of,
              std::string(kMorphologikaHead) + "1;2\n3 4\n",
              {},
              "line 8: expected x and y of point 1 of individual 1, found 1 values"},
        Split{"tps_by_white_space", tps_of, "LM=2\n1\f2\n3\v4\nID=a\n", {1, 2, 3, 4}},
        Split{"tps_not_by_commas",
              tps_of,
              "LM=1\n1,2\nID=a\n",
              {},
              "a point line holds x and y, this one holds 1 values \"1,2\""},
        Split{"morphoj_by_the_header_s_separator_fields_trimmed",
              morphoj_of,
              "ID;x1;y1\n a \f; 1 ;\v2\n",
              {1, 2}},
        Split{"morphoj_not_by_blanks",
              morphoj_of,
              "ID x1 y1\na 1 2\n",
              {},
              "expected fields split by tabs, semicolons or commas (blanks are not enough)"},
        Split{"sliders_by_blanks_tabs_commas_semicolons",
              sliders_of,
              "1;2,3\n4\t5 6\n",
              {1, 2, 3, 4, 5, 6}},
        Split{"sliders_refuse_a_form_feed",
              sliders_of,
              "4 5 6\n1\f2 3 4\n",
              {},
              "line 2: expected a point number (a whole number from 1), found \"1?2\" in column 1"},
        Split{"protocol_rows_by_white_space_commas_semicolons",
              protocol_rows_of,
              "0 0 1\f0\n0;0,2\t0\n",
              {}},
        Split{"protocol_rows_name_the_word",
              protocol_rows_of,
              "0 0 1 0\n0 0 2;x\n",
              {},
              "line 2: found \"x\" in column 4, which is not a number"}),
    [](const auto& i) { return std::string(i.param.name); });

struct Fields {
  const char* name;
  std::string line;
  char separator;
  std::vector<std::string> fields;
};

void PrintTo(const Fields& f, std::ostream* out) { *out << f.name; }

class HeaderTableFields : public ::testing::TestWithParam<Fields> {};

// The fields of a table with a header: split by its one separator only, white space around each
// field dropped, empty fields kept but for those a spreadsheet leaves at the end of a line.
TEST_P(HeaderTableFields, AreSplitByTheOneSeparatorAndTrimmed) {
  const Fields& c = GetParam();
  EXPECT_EQ(field_separator(c.line), c.separator);
  EXPECT_EQ(split_fields(c.line, c.separator), c.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HeaderTableFields,
    ::testing::Values(
        Fields{"tabs_before_semicolons", "a;b\tc;d", '\t', {"a;b", "c;d"}},
        Fields{"semicolons_before_commas", " x1 , y1 ; t ", ';', {"x1 , y1", "t"}},
        Fields{"white_space_trimmed", "\f a\v; b \r", ';', {"a", "b"}},
        Fields{"empty_fields_kept_inside_dropped_at_the_end", "a,,b,,", ',', {"a", "", "b"}}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
