#include "platform/format.h"

#include <clocale>
#include <gtest/gtest.h>

namespace tav {
namespace {

struct FormatCase {
  const char* name;
  const char* format;
  std::vector<Value> args;
  const char* expected;
};

class Format : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Format, WritesAsTheUserReadsIt) {
  EXPECT_EQ(sprintf_m(GetParam().format, GetParam().args), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Format,
    ::testing::Values(
        FormatCase{"file_status",
                   "File: %s \\n %3.0f Specimens \\n %3.0f Landmarks",
                   {Value("wings.txt"), Value(12.0), Value(20.0)},
                   "File: wings.txt \n  12 Specimens \n  20 Landmarks"},
        FormatCase{"g_six_digits_no_trailing_zeros",
                   "%g|%g|%g|%g",
                   {Value(row({0.1, 1234567, 1e-7, 2.50}))},
                   "0.1|1.23457e+06|1e-07|2.5"},
        FormatCase{"format_repeats_over_elements", "%g ", {Value(row({1, 2, 3}))}, "1 2 3 "},
        FormatCase{"stops_at_first_conversion_without_data",
                   " %g  %g ",
                   {Value(row({1, 2, 3}))},
                   " 1  2  3  "},
        FormatCase{"integer_conversion", "Iteration: %i", {Value(7.0)}, "Iteration: 7"},
        FormatCase{"non_integer_under_i_shown_whole", "%i", {Value(2.5)}, "2.500000e+00"},
        FormatCase{
            "width_and_precision", "%8.3f|%-5d|", {Value(row({3.14159, 42}))}, "   3.142|42   |"},
        FormatCase{
            "no_arguments_writes_format_once", "\\nFell through case", {}, "\nFell through case"},
        FormatCase{"percent_literal", "100%% of %s", {Value("points")}, "100% of points"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(Format, GPrecisionCanBeRaisedForTheBatchTool) {
  EXPECT_EQ(sprintf_m("%g", {Value(1.0 / 3)}, 10), "0.3333333333");
  EXPECT_EQ(sprintf_m("%g", {Value(1.0 / 3)}), "0.333333");
}

TEST(Format, ShortNumberTextGivesWholeNumbersWithoutPoint) {
  EXPECT_EQ(short_number_text(12), "12");
  EXPECT_EQ(short_number_text(-3), "-3");
  EXPECT_EQ(short_number_text(0.125), "0.125");
}

// Tick labels and messages are written under the user's locale in the window (Qt sets it from
// the environment): a decimal comma there must not reach them.
TEST(Format, GTextWritesAPointUnderADecimalCommaLocale) {
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
      << "the locale de_DE.UTF-8 is missing: run scripts/setup, which generates it";
  const std::string half = g_text(0.5, 6), third = g_text(1.0 / 3, 3), big = g_text(1234567, 6);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(half, "0.5");
  EXPECT_EQ(third, "0.333");
  EXPECT_EQ(big, "1.23457e+06");
}

TEST(Format, GTextFollowsThePrecisionLikeSprintf) {
  const std::string raised = g_text(1.0 / 3, 10);
  EXPECT_EQ(raised, "0.3333333333");
  EXPECT_EQ(raised, sprintf_m("%g", {Value(1.0 / 3)}, 10));
  EXPECT_EQ(g_text(1.0 / 3), sprintf_m("%g", {Value(1.0 / 3)}));
}

TEST(Format, LowerCaseTurnsOnlyTheLettersAToZ) {
  EXPECT_EQ(lower_case("Normalized"), "normalized");
  EXPECT_EQ(lower_case("shape.PDF"), "shape.pdf");
  EXPECT_EQ(lower_case("[Dimensions] 2-D \xc3\x84"), "[dimensions] 2-d \xc3\x84");  // Ä kept
}

}  // namespace
}  // namespace tav
