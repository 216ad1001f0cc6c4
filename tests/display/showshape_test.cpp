#include <gmock/gmock.h>

#include "display/display.h"
#include "display_fixture.h"

namespace tav::test {
namespace {

using ShowshapeTest = DisplayTest;

TEST_F(ShowshapeTest, EachPointIsOneSmallMarkerAndTheTrailingValueIsNotDrawn) {
  EXPECT_EQ(showshape(gr(), rows({{0, 0, 1, 0, 0, 1, 9}})), 1);
  const auto ls = lines();
  ASSERT_EQ(ls.size(), 3u);
  const Matrix want = rows({{0, 0}, {1, 0}, {0, 1}});
  for (size_t p = 0; p < ls.size(); ++p) {
    EXPECT_EQ(xdata(ls[p]), row({want(p, 0)}));
    EXPECT_EQ(ydata(ls[p]), row({want(p, 1)}));
    EXPECT_EQ(gr().get(ls[p], "Marker").text(), ".");
    EXPECT_EQ(gr().get(ls[p], "LineStyle").text(), "none");
    EXPECT_EQ(gr().get(ls[p], "MarkerSize").scalar(), 3);
  }
}

struct Shape {
  const char* name;
  Index rows, cols;
  size_t markers;
};

class ShowshapeShapes : public DisplayTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(ShowshapeShapes, DrawsHalfTheColumnsLessTheTrailingValueAndStillHoldsAndScales) {
  const Shape s = GetParam();
  const Matrix x = Matrix::Random(s.rows, s.cols);
  EXPECT_EQ(showshape(gr(), x, "b*"), 1);
  EXPECT_EQ(markers("b*").size(), s.markers);
  EXPECT_EQ(lines().size(), s.markers);
  EXPECT_TRUE(gr().held(axes()));
  EXPECT_EQ(gr().get(axes(), "DataAspectRatioMode").text(), "manual");
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ShowshapeShapes,
    ::testing::Values(Shape{"two_rows_seven_columns", 2, 7, 6}, Shape{"even_width", 2, 6, 4},
                      Shape{"two_columns", 3, 2, 0}, Shape{"no_rows", 0, 7, 0},
                      Shape{"nothing", 0, 0, 0}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(ShowshapeTest, SecondCallAddsOnTopAndLimitsFitEverything) {
  showshape(gr(), rows({{0, 0, 1, 1, 0}}), "b*");
  showshape(gr(), rows({{5, -2, 0}}), "k+");
  const auto ls = lines();
  ASSERT_EQ(ls.size(), 3u);
  EXPECT_EQ(markers("b*").size(), 2u);
  EXPECT_EQ(markers("k+"), std::vector<Handle>{ls.back()});  // newest is painted last
  const Row lim = gr().axis(axes());
  EXPECT_LE(lim(0), 0);
  EXPECT_GE(lim(1), 5);
  EXPECT_LE(lim(2), -2);
  EXPECT_GE(lim(3), 1);
}

TEST_F(ShowshapeTest, UnknownStyleIsRefusedWithItsText) {
  EXPECT_THAT([] { showshape(gr(), rows({{0, 0, 1}}), "q?"); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("q?")));
}

}  // namespace
}  // namespace tav::test
