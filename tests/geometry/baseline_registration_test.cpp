#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "geometry/geometry.h"
#include "support/test_support.h"

namespace tav {
namespace {

struct BaselineRegistrationCase {
  const char* name;
  Row x;
  Index b1, b2;
  Row want;
};

class BaselineRegistration : public ::testing::TestWithParam<BaselineRegistrationCase> {};

TEST_P(BaselineRegistration, FirstPointToOriginSecondToUnitX) {
  const auto& c = GetParam();
  EXPECT_LT(test::max_abs_diff(baseline_registration(Matrix(c.x), c.b1, c.b2), Matrix(c.want)),
            1e-14);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BaselineRegistration,
    ::testing::Values(BaselineRegistrationCase{"three_points", row({2, 3, 4, 3, 3, 5}), 1, 2,
                                               row({0, 0, 1, 0, 0.5, 1})},
                      BaselineRegistrationCase{"trailing_value_untouched",
                                               row({2, 3, 4, 3, 3, 5, 7}), 1, 2,
                                               row({0, 0, 1, 0, 0.5, 1, 7})},
                      // Second point straight left of the first: a half turn, not a mirror.
                      BaselineRegistrationCase{"half_turn", row({3, 0, 1, 0, 2, 1, -4}), 1, 2,
                                               row({0, 0, 1, 0, 0.5, -0.5, -4})},
                      BaselineRegistrationCase{"later_points_reversed", row({2, 3, 4, 3, 3, 5}), 2,
                                               1, row({1, 0, 0, 0, 0.5, -1})}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(BaselineRegistrationRows, EachRowRegisteredOnItsOwn) {
  const Matrix x = rows({{2, 3, 4, 3, 3, 5, 7}, {0, 0, 0, 2, -1, 1, 8}, {5, 5, 6, 6, 9, 0, 9}});
  const Matrix y = baseline_registration(x, 1, 2);
  for (Index i = 0; i < x.rows(); ++i)
    EXPECT_EQ(test::max_abs_diff(y.row(i), baseline_registration(Matrix(x.row(i)), 1, 2)), 0.0)
        << "row " << i;
  EXPECT_EQ(baseline_registration(Matrix(0, 7), 4, 5).rows(), 0);
}

struct BaselineRegistrationError {
  const char* name;
  Matrix x;
  Index b1, b2;
  const char* says;
};

class BaselineRegistrationErrors : public ::testing::TestWithParam<BaselineRegistrationError> {};

TEST_P(BaselineRegistrationErrors, RaiseErrorNamingTheFault) {
  const auto& c = GetParam();
  try {
    baseline_registration(c.x, c.b1, c.b2);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr(c.says));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BaselineRegistrationErrors,
    ::testing::Values(
        BaselineRegistrationError{"second_beyond_row", rows({{2, 3, 4, 3, 3, 5, 7}}), 1, 4,
                                  "second baseline point 4 is outside points 1..3"},
        BaselineRegistrationError{"first_not_positive", rows({{2, 3, 4, 3, 3, 5, 7}}), 0, 2,
                                  "first baseline point 0"},
        BaselineRegistrationError{"points_coincide_in_row_2",
                                  rows({{2, 3, 4, 3, 3, 5, 7}, {1, 1, 1, 1, 3, 5, 7}}), 1, 2,
                                  "configuration 2 baseline points 1 and 2 coincide"},
        BaselineRegistrationError{"same_point_twice", rows({{2, 3, 4, 3, 3, 5, 7}}), 3, 3,
                                  "configuration 1 baseline points 3 and 3 coincide"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
