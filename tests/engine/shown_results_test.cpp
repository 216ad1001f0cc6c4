// What the window shows and writes is what the session holds: a Load draws only what it
// loaded, a run that ends short of convergence (or is stopped) leaves the kept results drawn,
// the status says how a run ended and what a save wrote, and a save after a Load alone writes
// what the batch tool writes for the same file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "display/display.h"
#include "display/legend.h"
#include "engine/engine.h"
#include "engine_fixture.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

class ShownResults : public EngineTest {
 protected:
  std::vector<std::string> legend() {
    std::vector<std::string> names;
    for (const auto& e : legend_entries(gr(), gr().gca())) names.push_back(e.first);
    return names;
  }
  std::vector<std::string> texts() {
    std::vector<std::string> out;
    for (Handle h : gr().children(gr().gca()))
      if (gr().type(h) == "text") out.push_back(gr().get(h, "String").text());
    return out;
  }
  std::string status_note() {
    const Value v = gr().get(figure, "StatusNote");
    return v.is_text() ? v.text() : std::string();
  }
  // The x coordinates of every marked point in the axes, in drawing order.
  std::vector<double> drawn_x() {
    std::vector<double> xs;
    for (Handle c : gr().children(gr().gca()))
      if (gr().type(c) == "line") {
        const Matrix x = gr().get(c, "XData").matrix();
        for (Index i = 0; i < x.size(); ++i) xs.push_back(x(i));
      }
    return xs;
  }
  // An iterated run stand-in that draws `passes` passes of the plain superimposition, ending
  // as `end` says (at its pass limit, or stopped by the user after the last).
  void iterate_then(int passes, RunEnd end) {
    set_control("IterBox", 1);
    consensus_routines().iterated_bending =
        [this, passes, end](const Matrix& x, const CurveProtocol&, IterationObserver& view) {
          Consensus c = plain_consensus(x);
          c.xpt *= 3.0;  // unlike anything kept, so that a drawn pass shows
          for (int pass = 1; pass <= passes; ++pass) {
            view.before_superimpose();
            view.pass_measured(0.5, pass);
            if (end == RunEnd::stopped && pass == passes) session.runtime.control.request_stop();
            view.pass_done(c.xpt, c.y, pass);
          }
          view.not_converged("Failure to converge after " + std::to_string(passes) + " iterations");
          return c;
        };
  }
};

TEST_F(ShownResults, ALoadDrawsOnlyWhatItLoadedAndTheLegendListsOnlyThat) {
  act("Load", kExamples + "shells.txt");
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  ASSERT_THAT(legend(), ::testing::Contains("Semi-landmarks"));
  act("Load", kExamples + "shells.txt");
  EXPECT_EQ(drawn(), 40u * 32u);
  EXPECT_EQ(legend(), std::vector<std::string>{"Specimens"});
  act("LoadReference", file("r.txt", "1 0 0 1 -1 0 0 -1 1 1 -1 1 1\n"));  // refused: 6 points
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  backend.messages.clear();
  const std::string first = read(kExamples + "shells.txt");
  act("LoadReference", file("ref.txt", first.substr(0, first.find('\n') + 1)));
  EXPECT_EQ(drawn(), 40u * 32u + 32u);
  EXPECT_EQ(legend(), (std::vector<std::string>{"Specimens", "Reference"}));
}

// The saves write the kept results: after a stop, a pass limit or a settled end, the drawing
// shows those and no pass label.
TEST_F(ShownResults, ARunThatEndsShortOfConvergenceLeavesTheKeptResultsDrawn) {
  act("Load", kExamples + "shells.txt");
  act("LoadProtocol", kExamples + "shells_protocol.txt");  // one bending pass: kept on a stop
  const std::vector<double> kept = drawn_x();
  for (const RunEnd end : {RunEnd::stopped, RunEnd::pass_limit}) {
    SCOPED_TRACE(static_cast<int>(end));
    iterate_then(3, end);
    act("LoadProtocol", kExamples + "shells_protocol.txt");
    EXPECT_THAT(texts(), ::testing::Not(::testing::Contains(HasSubstr("Iteration"))));
    std::vector<double> sample_x;
    for (Index i = 0; i < engine_state().sample.rows(); ++i)
      sample_x.push_back(engine_state().sample(i, 0));
    EXPECT_THAT(drawn_x(), ::testing::IsSupersetOf(sample_x));
    if (end == RunEnd::stopped) {
      EXPECT_EQ(drawn_x(), kept);
      EXPECT_THAT(status_note(), HasSubstr("stopped by the user after pass 3"));
    } else {
      EXPECT_THAT(status_note(), HasSubstr("Failure to converge after 3 iterations"));
      EXPECT_THAT(status_note(), HasSubstr("results of the last pass are kept"));
      EXPECT_THAT(backend.errors.back(), HasSubstr("results of the last pass are kept"));
    }
  }
}

TEST_F(ShownResults, AConvergedRunSaysSoWithItsPassesAndChange) {
  act("Load", kExamples + "shells.txt");
  set_control("IterBox", 1);
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  const RunReport& report = engine_state().last_run;
  ASSERT_TRUE(report.converged());
  EXPECT_THAT(status_note(),
              HasSubstr("converged after " + std::to_string(report.passes) + " passes (devref "));
  set_control("IterBox", 0);
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  EXPECT_THAT(status_note(), HasSubstr("one-pass sliding by bending energy: done"));
}

// The batch tool writes the plain superimposition for a sample without a protocol; the window
// writes the same bytes, says so, and draws what it wrote.
TEST_F(ShownResults, SaveAfterALoadAloneWritesWhatTheBatchToolWrites) {
  Session batch;
  load_sample(batch, kExamples + "shells.txt");
  RunObserver quiet;
  run(batch, RunOptions{}, quiet);
  const std::string expected = (dir / "batch.txt").string();
  save_result(batch, Result::sample, expected);

  act("Load", kExamples + "shells.txt");
  act("Save", (dir / "window.txt").string());
  EXPECT_EQ(read((dir / "window.txt").string()), read(expected));
  EXPECT_THAT(status_note(), HasSubstr("plain Procrustes superimposition"));
  EXPECT_THAT(status_note(), HasSubstr("window.txt"));
  EXPECT_THAT(capture->text(), HasSubstr(status_note()));
  EXPECT_EQ(engine_state().sample, batch.state.sample);
  EXPECT_EQ(drawn_x()[0], engine_state().sample(0, 0));  // the drawing shows what was written
  act("SaveReference", (dir / "consensus.txt").string());
  EXPECT_THAT(status_note(), HasSubstr("consensus.txt"))
      << ::testing::PrintToString(backend.messages);
}

TEST_F(ShownResults, StatusNamesTheSampleBesideItsReferenceAndTheProtocolKeptByALoad) {
  act("Load", kExamples + "shells.txt");
  const std::string first = read(kExamples + "shells.txt");
  act("LoadReference", file("ref.txt", first.substr(0, first.find('\n') + 1)));
  EXPECT_THAT(status("FileBox"), HasSubstr("shells.txt"));
  EXPECT_THAT(status("FileBox"), HasSubstr("40 Specimens"));
  EXPECT_THAT(status("FileBox"), HasSubstr("Reference: ref.txt"));
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  EXPECT_THAT(status("FileBox"), HasSubstr("32 Points: 4 Landmarks, 26 Semi-Landmarks, 2 Helpers"));
  EXPECT_THAT(status("FileBox"), HasSubstr("Reference: ref.txt"));
  act("Load", kExamples + "shells.txt");
  EXPECT_THAT(status("FileBox"), HasSubstr("32 Points: 4 Landmarks, 26 Semi-Landmarks, 2 Helpers"));
  EXPECT_THAT(status("FileBox"), ::testing::Not(HasSubstr("32 Landmarks")));
}

TEST_F(ShownResults, EveryFileDialogSaysWhatItLoads) {
  act("Load", kExamples + "shells.txt");
  act("LoadReference", kExamples + "shells.txt");  // refused: many lines
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  ASSERT_EQ(backend.titles.size(), 3u);
  EXPECT_THAT(backend.titles[0], HasSubstr("sample"));
  EXPECT_THAT(backend.titles[1], HasSubstr("reference"));
  EXPECT_THAT(backend.titles[2], HasSubstr("protocol"));
}

// "Compare" without "Show consensus" is told what it needs; Clear closes the comparison and an
// Export after it is refused as the saves are.
TEST_F(ShownResults, ComparisonFollowsReplotAndClear) {
  act("Load", kExamples + "shells.txt");
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  set_control("OriginalButton", 1);
  backend.messages.clear();
  run_action(Value("Replot"));
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("Show consensus"));
  set_control("MeanButton", 1);
  run_action(Value("Replot"));
  ASSERT_TRUE(gr().valid(2));
  run_action(Value("Clear"));
  EXPECT_FALSE(gr().valid(2));
  backend.messages.clear();
  backend.choose((dir / "empty.png").string());
  export_drawing_to_chosen_file(gr(), backend);
  EXPECT_FALSE(std::filesystem::exists(dir / "empty.png"));
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("nothing was written"));
}

}  // namespace
}  // namespace tav::test
