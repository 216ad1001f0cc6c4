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
  EXPECT_EQ(gr().children(kShapeSpace).size(), 3u);  // the scores and the two grids
  expect_scores_of_the_current_results();
  EXPECT_EQ(drawn_scores_x().size(), 40u);
  const std::vector<double> after_load = drawn_scores_x();

  // A run draws the run's shape space afresh, in the same three panels; the main window's
  // figure stays current for what the run draws there.
  gr().set_current_figure(figure);
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  EXPECT_EQ(gr().gcf(), figure);
  EXPECT_EQ(gr().children(kShapeSpace).size(), 3u);
  expect_scores_of_the_current_results();
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
