#include "consensus/settle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace tav {
namespace {

// A step that moves every element a fixed fraction of the way to a goal: successive results
// differ by a shrinking geometric amount, so the loop settles after a predictable count.
struct Case {
  const char* name;
  double fraction;  // 0: never moves; 1: jumps to the goal; NaN: spoils the row
  double tol;
  int max_extra;
  int expect_calls;
};

class SettleCase : public ::testing::TestWithParam<Case> {};

TEST_P(SettleCase, StopsAtAgreementOrAtTheCallLimit) {
  const Case& c = GetParam();
  const Row start = Row::Constant(4, 1.0), goal = Row::Zero(4);
  int calls = 0;
  const Row out = settle(
      [&](const Row& from, Row& to) {
        ++calls;
        to = std::isnan(c.fraction) ? Row::Constant(4, std::nan(""))
                                    : Row(from + c.fraction * (goal - from));
      },
      start, c.tol, c.max_extra);
  EXPECT_EQ(calls, c.expect_calls);
  // The result is the latest step: start moved `calls` times.
  if (!std::isnan(c.fraction)) {
    const double left = std::pow(1 - c.fraction, calls);
    EXPECT_NEAR(out(0), left, 1e-15);
  }
}

// With fraction f the change made by call j is f(1-f)^(j-1) per element, 2 f (1-f)^(j-1) in
// norm over 4 elements; the loop stops once the change of the latest call is within 4·tol.
int settle_calls(double f, double tol, int max_extra) {
  int calls = 2;
  while (2 * f * std::pow(1 - f, calls - 1) > 4 * tol && calls < 2 + max_extra) ++calls;
  return calls;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SettleCase,
    ::testing::Values(Case{"still_curve_two_calls", 0.0, 1e-6, 30, 2},
                      Case{"jump_to_goal_two_calls", 1.0, 1e-6, 30, 2},
                      Case{"not_a_number_ends_at_once", std::nan(""), 1e-6, 30, 2},
                      Case{"distance_limit_32_calls", 0.01, 1e-6, 30, 32},
                      Case{"bending_limit_46_calls", 0.01, 1e-8, 44, 46},
                      Case{"half_steps_settle", 0.5, 1e-6, 30, settle_calls(0.5, 1e-6, 30)},
                      Case{"fast_steps_settle", 0.9, 1e-8, 44, settle_calls(0.9, 1e-8, 44)}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
