#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/matrix.h"
#include "platform/parse.h"
#include "platform/value.h"

namespace tav {
namespace {
using ::testing::HasSubstr;

TEST(Matrix, CheckedIndexRaisesAnErrorWithText) {
  const Matrix m = rows({{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(at(m, 2), 4);  // column order
  EXPECT_EQ(at(m, 2, 3), 6);
  try {
    at(m, 7);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("index 7 is outside 1..6"));
  }
  EXPECT_THROW(at(m, 0), Error);
  EXPECT_THROW(at(m, 3, 1), Error);
}

TEST(Matrix, AssignmentBeyondTheSizeGrowsWithZeros) {
  Matrix m = rows({{1, 2}});
  set_grow(m, 2, 3, 9);
  EXPECT_EQ(m, rows({{1, 2, 0}, {0, 0, 9}}));
  Row r(0);
  set_grow(r, 3, 0);  // the runtime's way of making a row of k zeros
  EXPECT_EQ(r, row({0, 0, 0}));
  EXPECT_THROW(set_grow(r, 0, 1), Error);
}

TEST(Parse, NumbersSeparatedByBlanksTabsAndCommas) {
  EXPECT_EQ(parse_numbers("12.5\t-3, 1e-2  7\r\n"), row({12.5, -3, 0.01, 7}));
  EXPECT_EQ(parse_numbers("   \n").size(), 0);
}

TEST(Parse, RefusesWhatIsNotAFiniteNumber) {
  for (const char* bad : {"1 2 x3", "1 nan", "inf 2", "1e999", "1 2;"}) {
    EXPECT_THROW(parse_numbers(bad), Error) << bad;
  }
  try {
    parse_numbers("1 2 abc");
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("value 3 \"abc\" is not a number"));
  }
}

TEST(Value, ConditionHoldsWhenNonEmptyAndAllNonZero) {
  EXPECT_TRUE(Value(1.0).truthy());
  EXPECT_FALSE(Value(0.0).truthy());
  EXPECT_FALSE(Value().truthy());
  EXPECT_FALSE(Value(row({1, 0})).truthy());
  EXPECT_THROW(Value("a").scalar(), Error);
}

TEST(Console, NamedValuesAreLabelled) {
  EXPECT_EQ(show_text("j", Value(-1.0)), "j = -1\n");
  EXPECT_EQ(show_text("xlinlist", Value(row({5, 7, 9}))), "xlinlist = [5 7 9]\n");
  EXPECT_EQ(show_text("e", Value()), "e = []\n");
  EXPECT_EQ(show_text("m", Value(rows({{1, 2}, {3, 4}}))), "m =\n    1 2\n    3 4\n");
  ConsoleCapture capture;
  console_show("junk", Value(0.0));
  EXPECT_EQ(capture.text(), "junk = 0\n");
}

}  // namespace
}  // namespace tav
