// TPS files read and written without a session: scales applied only when every specimen has
// one, the file told by its first non-blank line, the digits written read back, the protocol a
// layout suggests, and the points a digitiser left out.
#include "formats/tps.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "formats/files.h"
#include "formats/tps_lines.h"
#include "formats_fixture.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::Contains;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

std::string tps(const std::string& name) { return data_path("tps/" + name); }

// Root of the summed squared distances of the row's points from their centroid.
double centroid_size(const Row& coordinates) {
  const Index k = coordinates.size() / 2;
  double mx = 0, my = 0;
  for (Index p = 0; p < k; ++p) mx += coordinates(2 * p), my += coordinates(2 * p + 1);
  mx /= static_cast<double>(k), my /= static_cast<double>(k);
  double ss = 0;
  for (Index p = 0; p < k; ++p)
    ss += std::pow(coordinates(2 * p) - mx, 2) + std::pow(coordinates(2 * p + 1) - my, 2);
  return std::sqrt(ss);
}

struct ScaleCase {
  const char* name;
  const char* file;
  std::vector<double> applied;  // factor of every specimen (1: none applied)
  std::vector<std::string> warned, not_warned;
};

class TpsScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(TpsScale, AppliesScalesOnlyWhenEverySpecimenHasOne) {
  const ScaleCase& c = GetParam();
  const TpsSample t = read_tps(tps(c.file));
  const Matrix raw = read_data_file(tps("lm_rows.txt")).x;
  ASSERT_EQ(t.x.rows(), static_cast<Index>(c.applied.size()));
  for (Index i = 0; i < t.x.rows(); ++i) {
    const Row want = raw.row(i).head(8) * c.applied[static_cast<size_t>(i)];
    EXPECT_EQ(t.x.row(i).head(8), want) << "specimen " << i + 1;
    EXPECT_NEAR(t.x(i, 8), centroid_size(want), 1e-12 * centroid_size(want));
  }
  for (const std::string& w : c.warned) EXPECT_THAT(t.warnings, Contains(HasSubstr(w)));
  for (const std::string& w : c.not_warned) EXPECT_THAT(t.warnings, Each(Not(HasSubstr(w))));
  if (c.warned.empty()) {
    EXPECT_THAT(t.warnings, IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TpsScale,
    ::testing::Values(
        ScaleCase{"every_specimen_scaled", "scale_all.tps", {0.5, 2}, {}, {}},
        ScaleCase{"no_scale", "scale_none.tps", {1, 1}, {}, {}},
        ScaleCase{"some_scaled_none_applied",
                  "scale_mixed.tps",
                  {1, 1, 1},
                  {"only 2 of 3 specimens have a SCALE= value, so no scale was applied",
                   "without one: specimen 2 (ID=b)"},
                  {"ID=a", "IMAGE=c.jpg"}},
        ScaleCase{"empty_scale_ignored",
                  "scale_empty.tps",
                  {1, 1},
                  {"SCALE= without a value is ignored for specimen 2 (ID=b)", "only 1 of 2"},
                  {"ID=a"}}),
    [](const auto& i) { return std::string(i.param.name); });

struct Detection {
  const char* name;
  const char* text;
  bool tps;
};

class TpsDetection : public FormatsTest, public ::testing::WithParamInterface<Detection> {};

TEST_P(TpsDetection, ByTheFirstNonBlankLine) {
  EXPECT_EQ(is_tps(file("f", GetParam().text)), GetParam().tps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TpsDetection,
    ::testing::Values(Detection{"upper_case", "LM=2\n1 1\n2 2\n", true},
                      Detection{"lower_case_after_blank_lines", "\n \r\n\tlm=2\n1 1\n2 2\n", true},
                      Detection{"three_dimensional", "LM3=1\n1 1 1\n", true},
                      Detection{"rows", "1 2 3\nLM=2\n", false},
                      Detection{"other_key_first", "ID=1\nLM=2\n", false},
                      Detection{"longer_key", "LMK=2\n", false}, Detection{"empty", "", false}),
    [](const auto& i) { return std::string(i.param.name); });

// Written with d significant digits, every coordinate reads back within half a unit of its
// last digit; the ids are kept, a missing one becomes the specimen number.
TEST_F(FormatsTest, TpsTextReadsBackToTheDigitsWritten) {
  const Matrix x = rows({{0.123456789012345, -1234.56789012345, 3e-7, 2.5, 9},
                         {-0.000987654321, 7.0, 1.0 / 3.0, -2.0 / 3.0, 9}});
  for (int digits : {3, 6, 10, 17}) {
    const std::string path = file("out.tps", tps_text(x, {"first", ""}, digits));
    const TpsSample back = read_tps(path);
    EXPECT_EQ(back.ids, (std::vector<std::string>{"first", "2"}));
    ASSERT_EQ(back.x.cols(), x.cols());
    for (Index i = 0; i < x.rows(); ++i)
      for (Index c = 0; c + 1 < x.cols(); ++c) {
        const double v = x(i, c),
                     unit = std::pow(10.0, std::floor(std::log10(std::fabs(v))) - digits + 1);
        EXPECT_LE(std::fabs(back.x(i, c) - v), 0.5 * unit * (1 + 1e-9))
            << digits << " digits, " << v;
      }
  }
}

TEST(SuggestProtocol, LandmarksInCurveZeroAndEveryCurveAnOpenCurveOfSemilandmarks) {
  const TpsLayout layout{3, {2, 4}};
  const Matrix p = suggest_protocol(layout);
  ASSERT_EQ(p.rows(), layout.points());
  Index r = 0, point = 0;
  auto expect_rows = [&](double code, Index count, double type) {
    for (Index j = 0; j < count; ++j, ++r)
      EXPECT_EQ(p.row(r), row({code, 0, static_cast<double>(++point), type})) << "row " << r + 1;
  };
  expect_rows(0, layout.landmarks, 0);
  for (size_t c = 0; c < layout.curve_points.size(); ++c)
    expect_rows(static_cast<double>(c + 1), layout.curve_points[c], 1);
}

// Which points of a specimen are taken for points the digitiser left out.
struct MissingCase {
  const char* name;
  std::vector<Eigen::RowVector2d> points;
  std::vector<size_t> missing;
};

class TpsMissingPoints : public ::testing::TestWithParam<MissingCase> {};

TEST_P(TpsMissingPoints, AreNegativePointsAmongImageCoordinatesOrMinusOneMinusOne) {
  EXPECT_EQ(tps::missing_points(GetParam().points), GetParam().missing);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TpsMissingPoints,
    ::testing::Values(
        MissingCase{"image_coordinates_none_missing", {{10, 20}, {30, 20}, {20, 40}, {0, 5}}, {}},
        MissingCase{
            "minus_one_among_image_coordinates", {{10, 20}, {-1, -1}, {20, 40}, {30, 5}}, {1}},
        MissingCase{"other_negative_code", {{10, 20}, {30, 20}, {20, 40}, {-999, -999}}, {3}},
        MissingCase{
            "two_missing_of_five", {{-9, -9}, {30, 20}, {20, 40}, {-1, -1}, {5, 5}}, {0, 3}},
        // Centred data: points on all sides of the origin are coordinates, only -1 -1 is named.
        MissingCase{"centred_data", {{-0.5, -0.2}, {0.5, -0.3}, {0.1, 0.6}, {-0.1, -0.1}}, {}},
        MissingCase{
            "minus_one_in_centred_data", {{-1, -1}, {1.5, -0.3}, {0.1, 0.6}, {-0.6, 0.7}}, {0}},
        // Half the points below and left of the origin: a shifted shape, not missing points.
        MissingCase{"half_negative", {{-3, -4}, {-2, -1}, {5, 6}, {7, 1}}, {}},
        MissingCase{
            "one_coordinate_negative_is_no_code", {{10, 20}, {-3, 20}, {20, 40}, {30, 5}}, {}}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
