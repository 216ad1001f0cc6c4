#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "display/legend.h"
#include "engine_fixture.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

// The bundled example: 40 specimens, landmarks 1-4, a closed outline of 20 semi-landmarks and
// an open ridge of landmark 1, 6 semi-landmarks between 2 helpers, landmark 2.
class ViewTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    const std::string examples = std::string(TAV_SOURCE_DIR) + "/examples/";
    act("Load", examples + "shells.txt");
    set_control("NoAlignButton", 1);
    act("LoadProtocol", examples + "shells_protocol.txt");
    set_control("NoAlignButton", 0);
    capture.reset();  // a fresh console for the view itself
    capture = std::make_unique<ConsoleCapture>();
  }
  size_t count(const std::string& type, Handle ax = -1) {
    size_t n = 0;
    for (Handle c : gr().children(ax < 0 ? gr().gca() : ax))
      if (gr().type(c) == type) ++n;
    return n;
  }
  size_t dotted() { return drawn_with_style(":"); }
  size_t drawn_with_style(const std::string& style) {
    size_t n = 0;
    for (Handle c : gr().children(gr().gca()))
      if (gr().type(c) == "line" && gr().get(c, "LineStyle") == Value(style)) ++n;
    return n;
  }
};

TEST_F(ViewTest, ReplotWithEveryControlOffDrawsTheSampleWithItsProtocol) {
  run_action(Value("Replot"));
  EXPECT_EQ(drawn("o"), 40u * 6);   // 4 landmarks in curve 0, 2 ending the ridge
  EXPECT_EQ(drawn("d"), 40u * 26);  // semi-landmarks
  EXPECT_EQ(drawn("s"), 40u * 2);   // helpers shown
  EXPECT_EQ(dotted(), 0u);
  EXPECT_EQ(count("text"), 0u);
  EXPECT_THAT(capture->text(), HasSubstr("junk = 0\n"));
}

TEST_F(ViewTest, ReplotWithCurvesAndHiddenHelpers) {
  set_control("CurveButton", 1);
  set_control("TavrelButton", 1);
  run_action(Value("Replot"));
  EXPECT_EQ(drawn("s"), 0u);
  EXPECT_EQ(dotted(), 2u);
}

// Only a "Hide helper points" value of 1 hides them: another value (2) still marks them.
TEST_F(ViewTest, OnlyAHideValueOfOneHidesTheHelpers) {
  set_control("TavrelButton", 2);
  run_action(Value("Replot"));
  EXPECT_EQ(drawn("s"), 40u * 2);
}

// Each number stands where it can be read: beyond every specimen's mark of its point, on the
// side away from the middle of the configuration (inside the cloud the markers hide it).
TEST_F(ViewTest, PointNumbersStandOutsideTheirPointsCloudAndWidenTheLimits) {
  set_control("NumberButton", 1);
  run_action(Value("Replot"));
  EXPECT_EQ(count("text"), 32u);
  const Matrix& d = engine_state().sample;
  const Row xm = d.colwise().mean();
  Row middle = Row::Zero(2);
  for (Index p = 0; p < 32; ++p) middle += row({xm(2 * p), xm(2 * p + 1)}) / 32.0;
  size_t numbers = 0;
  for (Handle c : gr().children(gr().gca())) {
    if (gr().type(c) != "text") continue;
    const Index p = std::stoi(gr().get(c, "String").text()) - 1;
    const Row at = gr().get(c, "Position").matrix();
    const double from_mean = std::hypot(at(0) - xm(2 * p), at(1) - xm(2 * p + 1));
    for (Index i = 0; i < d.rows(); ++i)  // no mark of the point lies farther out
      EXPECT_LE(std::hypot(d(i, 2 * p) - xm(2 * p), d(i, 2 * p + 1) - xm(2 * p + 1)),
                from_mean + 1e-12);
    EXPECT_GT(std::hypot(at(0) - middle(0), at(1) - middle(1)),
              std::hypot(xm(2 * p) - middle(0), xm(2 * p + 1) - middle(1)));
    EXPECT_EQ(gr().get(c, "PixelOffset"), Value(row({4, 4})));  // a few pixels off, at any zoom
    ++numbers;
  }
  EXPECT_EQ(numbers, 32u);
  EXPECT_EQ(gr().get(gr().gca(), "DataAspectRatioMode"), Value("manual"));
  set_control("TavrelButton", 1);
  const Row before_numbers = [&] {
    run_action(Value("Replot"));
    return gr().axis(gr().gca());
  }();
  EXPECT_EQ(count("text"), 30u);  // the two helpers get no number
  set_control("NumberButton", 0);
  run_action(Value("Replot"));
  EXPECT_NEAR(before_numbers(1), 1.2 * gr().axis(gr().gca())(1), 1e-12);
}

TEST_F(ViewTest, ComparisonShowsBothConsensusesOnTheBaselineOfPoints4And5InFigure2) {
  set_control("MeanButton", 1);
  set_control("OriginalButton", 1);
  const Row oref_before = engine_state().plain_consensus;
  run_action(Value("Replot"));
  EXPECT_THAT(capture->text(), HasSubstr("ocode = 1\n"));
  EXPECT_EQ(gr().gcf(), 2);
  EXPECT_THAT(gr().get(2, "Name").text(), HasSubstr("plain consensus"));
  // The marked points of each marker, in drawing order.
  std::vector<std::pair<double, double>> red, green;
  for (Handle c : gr().children(gr().gca())) {
    auto* to = gr().get(c, "Marker") == Value("*")   ? &red
               : gr().get(c, "Marker") == Value("o") ? &green
                                                     : nullptr;
    if (!to) continue;
    const Matrix x = gr().get(c, "XData").matrix(), y = gr().get(c, "YData").matrix();
    for (Index i = 0; i < x.size(); ++i) to->emplace_back(x(i), y(i));
  }
  ASSERT_EQ(red.size(), 32u);
  ASSERT_EQ(green.size(), 32u);
  for (const auto* points : {&red, &green}) {
    // Points are marked in order: point 4 is the fourth, point 5 the fifth.
    EXPECT_NEAR((*points)[3].first, 0, 1e-12);
    EXPECT_NEAR((*points)[3].second, 0, 1e-12);
    EXPECT_NEAR((*points)[4].first, 1, 1e-12);
    EXPECT_NEAR((*points)[4].second, 0, 1e-12);
  }
  EXPECT_NE(engine_state().plain_consensus, oref_before);  // replaced by its fit onto the consensus
  // The main window's axes hold the consensus and, in the alternative colours, the plain one.
  size_t magenta = 0;  // marked points
  for (Handle c : gr().children(axes))
    if (gr().get(c, "Color") == Value(row({0.75, 0, 0.75})))
      magenta += static_cast<size_t>(gr().get(c, "XData").matrix().size());
  EXPECT_EQ(magenta, 6u);
  // Each window's legend names what it shows.
  std::vector<std::string> comparison, main;
  for (const auto& e : legend_entries(gr(), gr().gca())) comparison.push_back(e.first);
  for (const auto& e : legend_entries(gr(), axes)) main.push_back(e.first);
  EXPECT_EQ(comparison, (std::vector<std::string>{"Consensus with sliding", "Plain consensus"}));
  // In drawing order: the closed curve of semi-landmarks comes first.
  EXPECT_EQ(main, (std::vector<std::string>{"Semi-landmarks", "Landmarks", "Helper points",
                                            "Semi-landmarks (compared)", "Landmarks (compared)",
                                            "Helper points (compared)"}));
}

// The tangents view numbers its points too when asked, at the points of its configuration.
TEST_F(ViewTest, TangentViewsNumberTheirPointsWhenTicked) {
  set_control("NumberButton", 1);
  for (const char* action : {"TangentPlot", "OriginalTangent"}) {
    SCOPED_TRACE(action);
    run_action(Value(action));
    EXPECT_EQ(count("text"), 32u);
  }
}

TEST_F(ViewTest, TangentsAreSolidSegmentsOfTheirOwnColourAsLongAsTheSpacing) {
  for (const char* action : {"TangentPlot", "OriginalTangent"}) {
    SCOPED_TRACE(action);
    run_action(Value(action));
    EXPECT_EQ(drawn("d"), 26u);
    std::vector<Handle> tangents;
    for (Handle c : gr().children(gr().gca()))
      if (gr().type(c) == "line" && gr().get(c, "Color") == Value(row({0.85, 0.37, 0.0})))
        tangents.push_back(c);
    ASSERT_EQ(tangents.size(), 28u);  // one per sliding member: landmarks 1 and 2 have none
    for (Handle t : tangents) {
      EXPECT_EQ(gr().get(t, "LineStyle"), Value("-"));
      const Matrix x = gr().get(t, "XData").matrix(), y = gr().get(t, "YData").matrix();
      // Unit centroid size, about 30 points on the curves: longer than the 0.02 that was lost
      // among the markers.
      EXPECT_GT(std::hypot(x(1) - x(0), y(1) - y(0)), 0.025);
    }
  }
}

TEST_F(ViewTest, AfterClearNothingIsLeftToDrawAndTheUserIsTold) {
  run_action(Value("Clear"));
  for (const char* action : {"Replot", "TangentPlot", "OriginalTangent"}) {
    SCOPED_TRACE(action);
    backend.messages.clear();
    run_action(Value(action));
    EXPECT_EQ(drawn(), 0u);
    ASSERT_EQ(backend.messages.size(), 1u);
    EXPECT_THAT(backend.messages[0], HasSubstr("Nothing to draw"));
  }
}

TEST_F(ViewTest, PointNumbersNeedTheProtocolOfTheseData) {
  set_kinds(engine_state().protocol, row({0, 0}));
  set_control("NumberButton", 1);
  EXPECT_THROW(run_action(Value("Replot")), Error);
}

}  // namespace
}  // namespace tav::test
