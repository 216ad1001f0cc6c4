#include <gmock/gmock.h>

#include "display/display.h"
#include "display_fixture.h"

namespace tav::test {
namespace {

using DrawConfigurationsTest = DisplayTest;

TEST_F(DrawConfigurationsTest, EveryPointIsASmallMarkerInRowOrderAndTheTrailingValueIsNotDrawn) {
  EXPECT_EQ(draw_configurations(gr(), rows({{0, 0, 1, 0, 0, 1, 9}, {2, 2, 3, 2, 2, 3, 9}})), 1);
  const auto ms = marked();
  ASSERT_EQ(ms.size(), 6u);
  const Matrix want = rows({{0, 0}, {1, 0}, {0, 1}, {2, 2}, {3, 2}, {2, 3}});  // later rows on top
  for (size_t p = 0; p < ms.size(); ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(ms[p].x, want(static_cast<Index>(p), 0));
    EXPECT_EQ(ms[p].y, want(static_cast<Index>(p), 1));
    EXPECT_EQ(gr().get(ms[p].line, "Marker").text(), ".");
    EXPECT_EQ(gr().get(ms[p].line, "LineStyle").text(), "none");
    EXPECT_EQ(gr().get(ms[p].line, "MarkerSize").scalar(), 3);
  }
}

TEST_F(DrawConfigurationsTest, AStyleWithALineStillJoinsNoPoints) {
  draw_configurations(gr(), rows({{0, 0, 1, 1, 2, 0, 9}}), "r-*");
  const auto ls = lines();
  ASSERT_EQ(ls.size(), 3u);  // each point a line of its own: nothing to join
  for (Handle h : ls) EXPECT_EQ(xdata(h).size(), 1);
  EXPECT_EQ(marked("r-*").size(), 3u);
}

struct Shape {
  const char* name;
  Index rows, cols;
  size_t markers;
};

class DrawConfigurationsShapes : public DisplayTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(DrawConfigurationsShapes, DrawsHalfTheColumnsLessTheTrailingValueAndStillHoldsAndScales) {
  const Shape s = GetParam();
  const Matrix x = Matrix::Random(s.rows, s.cols);
  EXPECT_EQ(draw_configurations(gr(), x, "b*"), 1);
  EXPECT_EQ(marked("b*").size(), s.markers);
  EXPECT_EQ(marked().size(), s.markers);  // nothing else drawn
  EXPECT_TRUE(gr().held(axes()));
  EXPECT_EQ(gr().get(axes(), "DataAspectRatioMode").text(), "manual");
}

INSTANTIATE_TEST_SUITE_P(Shapes, DrawConfigurationsShapes,
                         ::testing::Values(Shape{"two_rows_seven_columns", 2, 7, 6},
                                           Shape{"even_width", 2, 6, 4},
                                           Shape{"two_columns", 3, 2, 0}, Shape{"no_rows", 0, 7, 0},
                                           Shape{"nothing", 0, 0, 0}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST_F(DrawConfigurationsTest, SecondCallAddsOnTopAndLimitsFitEverything) {
  draw_configurations(gr(), rows({{0, 0, 1, 1, 0}}), "b*");
  draw_configurations(gr(), rows({{5, -2, 0}}), "k+");
  const auto ls = lines();
  ASSERT_FALSE(ls.empty());
  EXPECT_EQ(marked("b*").size(), 2u);
  EXPECT_EQ(marked().size(), 3u);
  EXPECT_EQ(markers("k+"), std::vector<Handle>{ls.back()});  // newest is painted last
  const Row lim = gr().axis(axes());
  EXPECT_LE(lim(0), 0);
  EXPECT_GE(lim(1), 5);
  EXPECT_LE(lim(2), -2);
  EXPECT_GE(lim(3), 1);
}

TEST_F(DrawConfigurationsTest, UnknownStyleIsRefusedWithItsText) {
  EXPECT_THAT(
      [this] {
        draw_configurations(gr(), rows({{0, 0, 1}}), "q?");
      },
      ::testing::ThrowsMessage<Error>(::testing::HasSubstr("q?")));
}

}  // namespace
}  // namespace tav::test
