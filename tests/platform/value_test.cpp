// Values as call by name hands them over: which hold as a condition, and the refusal of a value
// of the wrong kind, which names what was expected and what was given.
#include "platform/value.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tav {
namespace {
using ::testing::StrEq;
using ::testing::ThrowsMessage;

TEST(Value, ConditionHoldsWhenNonEmptyAndAllNonZero) {
  EXPECT_TRUE(Value(1.0).truthy());
  EXPECT_TRUE(Value(row({2, -1})).truthy());
  EXPECT_TRUE(Value("on").truthy());
  EXPECT_FALSE(Value(0.0).truthy());
  EXPECT_FALSE(Value().truthy());
  EXPECT_FALSE(Value(row({1, 0})).truthy());
  EXPECT_FALSE(Value("").truthy());
  EXPECT_FALSE(Value(List{Value(1.0)}).truthy());
}

TEST(Value, WrongKindIsRefusedNamingWhatWasExpectedAndGiven) {
  EXPECT_EQ(Value(2.5).scalar(), 2.5);
  EXPECT_THAT([] { Value("a").scalar(); },
              ThrowsMessage<Error>(StrEq("expected a number or matrix, got a text")));
  EXPECT_THAT(
      [] {
        Value(row({1, 2})).scalar();
      },
      ThrowsMessage<Error>(StrEq("expected a single number, got a 1x2 matrix")));
  EXPECT_THAT([] { Value(1.0).text(); },
              ThrowsMessage<Error>(StrEq("expected a text, got a 1x1 matrix")));
}

}  // namespace
}  // namespace tav
