// The numbers of one line of a sample or protocol: what is read as a number, and the refusal a
// reader prefixes with the file and the line, naming the token and why it is no number.
#include "platform/parse.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

namespace tav {
namespace {
using ::testing::StrEq;
using ::testing::ThrowsMessage;

TEST(Parse, NumbersSeparatedByBlanksTabsAndCommas) {
  EXPECT_EQ(parse_numbers("12.5\t-3, 1e-2  7\r\n"), row({12.5, -3, 0.01, 7}));
  EXPECT_EQ(parse_numbers("+1.5,,-.25 1E3"), row({1.5, -0.25, 1000}));
  EXPECT_EQ(parse_numbers("   \n").size(), 0);
  EXPECT_EQ(parse_numbers("").size(), 0);
}

struct Refusal {
  const char* line;
  const char* text;
};

TEST(Parse, RefusesWhatIsNotAFiniteNumberNamingTheValueAndWhy) {
  const std::string long_word(50, 'a');
  const Refusal cases[] = {
      {"1 2 x3", "value 3 \"x3\" is not a number"},
      {"1 2;", "value 2 \"2;\" is not a number"},
      {"+-1", "value 1 \"+-1\" is not a number"},
      {"1 nan", "value 2 \"nan\" is not a finite number"},
      {"inf 2", "value 1 \"inf\" is not a finite number"},
      {"1e999", "value 1 \"1e999\" is beyond the range of a double"},
      {"-2e400 1", "value 1 \"-2e400\" is beyond the range of a double"},
      {"1 \x01 2",
       "value 2 \"?\" holds the byte 0x01, which is not text; the file must be plain text, one "
       "configuration per line"},
      // A form feed splits the words of a free-format file, never the numbers of a row.
      {"1\f2",
       "value 1 \"1?2\" holds the byte 0x0C, which is not text; the file must be plain text, one "
       "configuration per line"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_THAT([&] { parse_numbers(c.line); }, ThrowsMessage<Error>(StrEq(c.text)));
  }
  // A long token is shown cut after 40 characters.
  EXPECT_THAT(
      [&] { parse_numbers("1 " + long_word); },
      ThrowsMessage<Error>(StrEq("value 2 \"" + std::string(40, 'a') + "...\" is not a number")));
}

}  // namespace
}  // namespace tav
