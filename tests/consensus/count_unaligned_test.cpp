#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

#include "consensus/consensus.h"
#include "consensus/sample_fixture.h"

namespace tav {
namespace {

// Copies of one specimen turned by the given angles (degrees), scaled and shifted.
Matrix turned_copies(const Row& shape, const std::vector<double>& degrees) {
  const Index k = shape.size() / 2;
  Matrix x(static_cast<Index>(degrees.size()), 2 * k + 1);
  for (std::size_t i = 0; i < degrees.size(); ++i) {
    const double a = degrees[i] * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    const double scale = 1 + 0.3 * double(i), shift = 5.0 * double(i);
    for (Index p = 0; p < k; ++p) {
      x(Index(i), 2 * p) = scale * (c * shape(2 * p) - s * shape(2 * p + 1)) + shift;
      x(Index(i), 2 * p + 1) = scale * (s * shape(2 * p) + c * shape(2 * p + 1)) - shift;
    }
    x(Index(i), 2 * k) = 1;
  }
  return x;
}

struct Case {
  const char* name;
  double limit;
  int expect;
};

class CountUnaligned : public ::testing::TestWithParam<Case> {};

TEST_P(CountUnaligned, CountsTurnsBeyondTheLimit) {
  const Row shape = test::sample(test::design(), 1, 0.0, 1).row(0).head(40);
  const Matrix x = turned_copies(shape, {0, 4, -15, 90, 179});
  // The reference far from the origin and at another size: only its orientation counts.
  const Row ref = (3 * shape.array() + 7).matrix();
  EXPECT_EQ(count_unaligned(x, ref, GetParam().limit), GetParam().expect);
}

INSTANTIATE_TEST_SUITE_P(Limits, CountUnaligned,
                         ::testing::Values(Case{"all_but_the_aligned", 1, 4},
                                           Case{"ten_degrees", 10, 3},
                                           Case{"half_turn_never", 180, 0}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(CountUnalignedErrors, RefusesAShortOrDegenerateReference) {
  const Matrix x = test::sample(test::design(), 2, 0.0, 1);
  EXPECT_THAT([&] { count_unaligned(x, Row::Ones(10), 5); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("reference has 10 numbers")));
  EXPECT_THAT([&] { count_unaligned(x, Row::Ones(40), 5); },
              ::testing::ThrowsMessage<Error>(
                  ::testing::HasSubstr("all points of the reference coincide")));
}

}  // namespace
}  // namespace tav
