// The shape space in a window of its own: drawn from the current results, kept in step by the
// Load and the run, closed by Clear, and drawn as the batch tool's picture is.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine_fixture.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";
constexpr Handle kShapeSpace = 3;

class ShapeSpaceWindow : public EngineTest {
 protected:
  // The scores as drawn in the window's first panel, outliers included, in drawing order.
  std::vector<double> drawn_scores_x() {
    std::vector<double> xs;
    const Handle scores = gr().children(kShapeSpace).at(0);
    for (Handle c : gr().children(scores))
      if (gr().type(c) == "line" && gr().get(c, "Marker") == Value("o")) {
        const Matrix x = gr().get(c, "XData").matrix();
        for (Index i = 0; i < x.size(); ++i) xs.push_back(x(i));
      }
    std::sort(xs.begin(), xs.end());
    return xs;
  }
  std::vector<double> expected_scores_x() {
    const Matrix& scores = shape_space(session).components.scores;
    std::vector<double> xs(scores.col(0).data(), scores.col(0).data() + scores.rows());
    std::sort(xs.begin(), xs.end());
    return xs;
  }
  // A bar per component at its percent of the variance; the mean and largest slide of every
  // point, and a mark on each flagged point.
  void expect_variance_and_slides_drawn() {
    const ShapeSpace s = shape_space(session);
    const std::vector<Handle> panels = gr().children(kShapeSpace);
    std::vector<double> bar_tops;
    for (Handle c : gr().children(panels.at(3)))
      if (gr().type(c) == "line" && gr().get(c, "XData").matrix().size() == 2)
        bar_tops.push_back(gr().get(c, "YData").matrix()(1));
    ASSERT_EQ(static_cast<Index>(bar_tops.size()), s.components.components());
    for (size_t c = 0; c < bar_tops.size(); ++c)
      EXPECT_DOUBLE_EQ(bar_tops[c], s.components.percent(static_cast<Index>(c)));
    std::vector<Matrix> lines;
    for (Handle c : gr().children(panels.at(4)))
      if (gr().type(c) == "line") lines.push_back(gr().get(c, "YData").matrix());
    size_t flagged = 0;
    for (const PointSlide& p : s.slides.points) flagged += p.flagged;
    ASSERT_EQ(lines.size(), flagged ? 3u : 2u);
    for (size_t p = 0; p < s.slides.points.size(); ++p) {
      EXPECT_EQ(lines[0](static_cast<Index>(p)), s.slides.points[p].mean);
      EXPECT_EQ(lines[1](static_cast<Index>(p)), s.slides.points[p].largest);
    }
    if (flagged) EXPECT_EQ(static_cast<size_t>(lines[2].size()), flagged);
  }
  void expect_scores_of_the_current_results() {
    const std::vector<double> drawn = drawn_scores_x(), expected = expected_scores_x();
    ASSERT_EQ(drawn.size(), expected.size());
    for (size_t i = 0; i < drawn.size(); ++i) EXPECT_DOUBLE_EQ(drawn[i], expected[i]);
  }
};

TEST_F(ShapeSpaceWindow, BeforeALoadItSaysWhatItNeedsAndOpensNothing) {
  run_action(Value("ShapeSpace"));
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("load one first"));
  EXPECT_FALSE(gr().valid(kShapeSpace));
}

TEST_F(ShapeSpaceWindow, FollowsTheLoadTheRunAndClearAndLeavesTheMainWindowCurrent) {
  act("Load", kExamples + "shells.txt");
  run_action(Value("ShapeSpace"));
  ASSERT_TRUE(gr().valid(kShapeSpace));
  EXPECT_EQ(gr().gcf(), kShapeSpace);
  EXPECT_EQ(gr().get(kShapeSpace, "Name").text(), "tavrel6: shape space");
  // The scores, the two grids, the variance and the slides.
  EXPECT_EQ(gr().children(kShapeSpace).size(), 5u);
  expect_variance_and_slides_drawn();
  expect_scores_of_the_current_results();
  EXPECT_EQ(drawn_scores_x().size(), 40u);
  const std::vector<double> after_load = drawn_scores_x();

  // A run draws the run's shape space afresh, in the same three panels; the main window's
  // figure stays current for what the run draws there.
  gr().set_current_figure(figure);
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  EXPECT_EQ(gr().gcf(), figure);
  EXPECT_EQ(gr().children(kShapeSpace).size(), 5u);
  expect_scores_of_the_current_results();
  expect_variance_and_slides_drawn();
  EXPECT_NE(drawn_scores_x(), after_load);  // the slid sample's, not the loaded one's

  act("Load", kExamples + "shells.txt");
  expect_scores_of_the_current_results();

  run_action(Value("Clear"));
  EXPECT_FALSE(gr().valid(kShapeSpace));
  EXPECT_TRUE(gr().valid(figure));
}

TEST_F(ShapeSpaceWindow, ALoadOrRunLeavesAClosedWindowClosed) {
  act("Load", kExamples + "shells.txt");
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  EXPECT_FALSE(gr().valid(kShapeSpace));
}

}  // namespace
}  // namespace tav::test
