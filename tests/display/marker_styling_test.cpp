#include <gmock/gmock.h>

#include "display/display.h"
#include "display_fixture.h"

namespace tav::test {
namespace {

// Six point markers of size 3 (two drawings of three points) and one text.
class MarkerStylingTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    draw_configurations(gr(), rows({{0, 0, 1, 0, 0, 1, 9}}), "bd");
    draw_configurations(gr(), rows({{2, 2, 3, 2, 2, 3, 9}}), "bd");
    label = gr().text(axes(), 0.5, 0.5, "7");
  }
  // The size of every marker, in drawing order.
  std::vector<double> sizes() {
    std::vector<double> out;
    for (const Marked& m : marked()) out.push_back(gr().get(m.line, "MarkerSize").scalar());
    return out;
  }
  Handle label = 0;
};

using ::testing::Each;
using ::testing::Eq;

TEST_F(MarkerStylingTest, SizeStepChangesLinesOnlyAndUndoes) {
  grow_markers(gr(), axes(), 2);
  EXPECT_THAT(sizes(), ::testing::ElementsAre(5, 5, 5, 5, 5, 5));
  EXPECT_TRUE(gr().get(label, "MarkerSize").empty());
  EXPECT_EQ(gr().get(label, "String").text(), "7");
  for (double step : {1.0, -1.0, 0.25, -0.25}) grow_markers(gr(), axes(), step);
  EXPECT_THAT(sizes(), Each(Eq(5)));
}

TEST_F(MarkerStylingTest, CurveAndTangentLinesAreVisitedLikeMarkers) {
  const Handle curve = gr().line(axes(), row({0, 1}), row({0, 1}), "k:");
  grow_markers(gr(), axes(), 1);
  EXPECT_EQ(gr().get(curve, "MarkerSize").scalar(), 6 + 1);
  fill_markers(gr(), axes(), 1);
  EXPECT_EQ(gr().get(curve, "MarkerFaceColor"), gr().get(curve, "Color"));
}

TEST_F(MarkerStylingTest, SmallerStopsQuietlyAtTheSmallestSize) {
  const Handle oldest = lines().front();  // "Children" lists it last
  gr().set(oldest, "MarkerSize", 3.5);
  for (int press = 0; press < 6; ++press) grow_markers(gr(), axes(), -1);  // no error, ever
  // 3 points is the smallest size a mark can still be seen at.
  EXPECT_THAT(sizes(), Each(::testing::Ge(3)));
  EXPECT_EQ(gr().get(oldest, "MarkerSize").scalar(), 3.5);  // 2.5 would be below the smallest
  grow_markers(gr(), axes(), 1);
  EXPECT_EQ(gr().get(oldest, "MarkerSize").scalar(), 4.5);
}

TEST_F(MarkerStylingTest, FillTakesEachMarkersOwnColourAndEmptiesAgain) {
  const Handle red = gr().line(axes(), row({4}), row({4}), "rs");
  fill_markers(gr(), axes(), 1);
  for (Handle h : lines()) EXPECT_EQ(gr().get(h, "MarkerFaceColor"), gr().get(h, "Color"));
  EXPECT_EQ(gr().get(red, "MarkerFaceColor").matrix(), rows({{1, 0, 0}}));
  EXPECT_EQ(gr().get(lines().front(), "MarkerFaceColor").matrix(), rows({{0, 0, 1}}));
  EXPECT_TRUE(gr().get(label, "MarkerFaceColor").empty());
  fill_markers(gr(), axes(), 0);
  for (Handle h : lines()) EXPECT_EQ(gr().get(h, "MarkerFaceColor").text(), "none");
}

TEST_F(MarkerStylingTest, EmptyContainerAndGrandchildrenAreLeftAlone) {
  const Handle other = gr().create("axes", gr().gcf());
  const auto revision = gr().revision();
  grow_markers(gr(), other, 3);
  fill_markers(gr(), other, 1);
  EXPECT_EQ(gr().revision(), revision);  // nothing changed
  grow_markers(gr(), gr().gcf(), 3);     // the figure's children are axes, not lines
  fill_markers(gr(), gr().gcf(), 1);
  EXPECT_THAT(sizes(), Each(Eq(3)));
  for (Handle h : lines()) EXPECT_EQ(gr().get(h, "MarkerFaceColor").text(), "none");
}

TEST_F(MarkerStylingTest, InvalidHandleIsAnError) {
  EXPECT_THROW(grow_markers(gr(), 12345.5, 1), Error);
  EXPECT_THROW(fill_markers(gr(), 12345.5, 1), Error);
}

}  // namespace
}  // namespace tav::test
