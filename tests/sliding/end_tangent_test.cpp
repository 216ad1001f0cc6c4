#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

#include "sliding/sliding.h"

namespace tav {
namespace {

struct EndCase {
  const char* name;
  Row data;
  double sox, soy;
};

class EndTangentCase : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndTangentCase, MirrorsTheNextPointInTheNeighbourLine) {
  const Tangent t = end_tangent(GetParam().data);
  EXPECT_NEAR(t.x, GetParam().sox, 1e-12);
  EXPECT_NEAR(t.y, GetParam().soy, 1e-12);
  EXPECT_NEAR(std::hypot(t.x, t.y), 1.0, 1e-12);
}

const double c30 = std::cos(std::numbers::pi / 6), s30 = std::sin(std::numbers::pi / 6);
INSTANTIATE_TEST_SUITE_P(Examples, EndTangentCase,
                         ::testing::Values(EndCase{"collinear", row({0, 0, 1, 0, 2, 0}), 1, 0},
                                           EndCase{"bent_up_mirrored_down", row({0, 0, 1, 0, 2, 1}),
                                                   2 / std::sqrt(5.0), -1 / std::sqrt(5.0)},
                                           EndCase{"equal_arc_gives_circle_tangent",
                                                   row({1, 0, c30, s30, s30, c30}), 0, 1}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(EndTangent, CoincidentNeighbourGivesNotANumber) {
  const Tangent t = end_tangent(row({1, 1, 1, 1, 2, 0}));
  EXPECT_TRUE(std::isnan(t.x) && std::isnan(t.y));
}

TEST(EndTangent, RefusesARowThatIsNotThreePoints) {
  EXPECT_THAT(
      [] {
        end_tangent(row({0, 0, 1, 0}));
      },
      ::testing::ThrowsMessage<Error>(::testing::HasSubstr("not 4 numbers")));
}

}  // namespace
}  // namespace tav
