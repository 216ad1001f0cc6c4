// Named values on the console, in the form the program's documented output has them.
#include "platform/console.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

TEST(Console, NamedValuesAreLabelled) {
  EXPECT_EQ(show_text("j", Value(-1.0)), "j = -1\n");
  EXPECT_EQ(show_text("xlinlist", Value(row({5, 7, 9}))), "xlinlist = [5 7 9]\n");
  EXPECT_EQ(show_text("e", Value()), "e = []\n");
  EXPECT_EQ(show_text("m", Value(rows({{1, 2}, {3, 4}}))), "m =\n    1 2\n    3 4\n");
  EXPECT_EQ(show_text("s", Value("text")), "s = 'text'\n");
}

TEST(Console, ShownValuesReachTheConsoleAsTheyAreLabelled) {
  ConsoleCapture capture;
  console_show("junk", Value(0.0));
  console_write("no line end");
  EXPECT_EQ(capture.text(), "junk = 0\nno line end");
}

}  // namespace
}  // namespace tav
