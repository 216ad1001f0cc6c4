#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

#include "consensus/varied_samples.h"
#include "engine_fixture.h"
#include "platform/format.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

TEST_F(EngineTest, IteratedRunShowsTheChangeBeforeThePassNumberInEveryPass) {
  // Outlines that vary in shape from specimen to specimen: the iterated run needs several
  // passes on them.
  act("Load", file("outlines.txt", rows_text(varied_sample(design(), 20, 0.15, 0.04, 7))));
  set_control("IterBox", 1);
  act("LoadProtocol", file("outlines_protocol.txt", protocol_rows(design().protocol)));
  const std::string out = capture->text();
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  int expected = 1;
  const std::string count = "itercount2 = ", change = "devref = ";
  std::vector<double> changes;  // each pass's change of the consensus, before damping
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind(count, 0) != 0) continue;
    ASSERT_GT(i, 0u);
    ASSERT_EQ(lines[i - 1].rfind(change, 0), 0u) << "line before pass " << expected;
    changes.push_back(std::stod(lines[i - 1].substr(change.size())));
    EXPECT_EQ(std::stoi(lines[i].substr(count.size())), expected);
    ++expected;
  }
  ASSERT_GE(changes.size(), 2u);  // at least two passes were shown
  // The run goes on while the change exceeds 1e-05 and ends with the first pass below it.
  for (std::size_t i = 0; i + 1 < changes.size(); ++i)
    EXPECT_GT(changes[i], 1e-05) << "pass " << i + 1;
  EXPECT_LE(changes.back(), 1e-05);
  EXPECT_TRUE(backend.pauses.empty());  // no waiting without a screen
  EXPECT_TRUE(backend.errors.empty());  // it converged
}

// Sand grains: a closed outline of 50 semi-landmarks and no landmark, whose points can turn
// along the outline. The run ends where its change stops shrinking, keeps that pass, and says
// so on the console (the window's log) and in a box; the report says how it ended.
TEST_F(EngineTest, AnIteratedRunThatSettlesAboveItsToleranceSaysSo) {
  act("Load", file("grains.txt", rows_text(grain_sample(30, 50, 0.3, 0.3, 5))));
  set_control("IterBox", 1);
  act("LoadProtocol", file("grains_protocol.txt", protocol_rows(grain_protocol(50))));
  const RunReport& report = session.state.last_run;
  EXPECT_EQ(report.end, RunEnd::settled);
  EXPECT_LT(report.passes, 100);
  EXPECT_THAT(report.ending, HasSubstr("the consensus settled at pass " +
                                       std::to_string(report.passes - 3) + " with a change of"));
  EXPECT_THAT(capture->text(), HasSubstr(report.ending));
  EXPECT_THAT(backend.messages, ::testing::Contains(report.ending));
  EXPECT_TRUE(backend.errors.empty());
}

TEST_F(EngineTest, EveryPassDrawsTheSampleTheConsensusAndItsLabel) {
  act("Load", kExamples + "shells.txt");
  set_control("IterBox", 1);
  std::vector<std::string> labels;
  consensus_routines().iterated_bending = [&](const Matrix& x, const CurveProtocol&,
                                              IterationObserver& view) {
    const Consensus c = plain_consensus(x);
    for (int pass = 1; pass <= 100; ++pass) {
      view.before_superimpose();
      view.pass_measured(1.0, pass);
      view.pass_done(c.xpt, c.y, pass);
      for (Handle h : gr().children(gr().gca()))
        if (gr().type(h) == "text") labels.push_back(gr().get(h, "String").text());
    }
    view.not_converged("Failure to converge after 100 iterations");
    return c;
  };
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  ASSERT_EQ(labels.size(), 100u);  // the axes are cleared in every pass
  EXPECT_EQ(labels.back(), "Iteration: 100");
  ASSERT_EQ(backend.errors.size(), 1u);
  EXPECT_THAT(backend.errors[0], HasSubstr("Failure to converge after 100 iterations; the results "
                                           "of the last pass are kept"));
}

TEST_F(EngineTest, PassLabelStandsNearTheLowerLeftCorner) {
  act("Load", kExamples + "shells.txt");
  set_control("IterBox", 1);
  Row position;
  consensus_routines().iterated_bending = [&](const Matrix& x, const CurveProtocol&,
                                              IterationObserver& view) {
    const Consensus c = plain_consensus(x);
    view.before_superimpose();
    view.pass_done(c.xpt, c.y, 1);
    const Row a = gr().axis(gr().gca());
    for (Handle h : gr().children(gr().gca()))
      if (gr().type(h) == "text") position = gr().get(h, "Position").matrix();
    EXPECT_NEAR(position(0), a(0) + 0.002, 1e-12);
    EXPECT_NEAR(position(1), a(2) + 0.05 * (a(3) - a(2)), 1e-12);
    return c;
  };
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  EXPECT_EQ(position.size(), 2);
}

// Specimens of one shape, turned by up to `max_turn` radians.
std::string turned_copies(double max_turn) {
  std::string text;
  for (int i = 0; i < 6; ++i) {
    const double t = max_turn * i / 5;
    for (int p = 0; p < 6; ++p) {
      const double a = p * M_PI / 3, r = 1 + 0.1 * (p % 2);
      text += sprintf_m("%.10g %.10g ", {Value(r * std::cos(a + t)), Value(r * std::sin(a + t))});
    }
    text += "1\n";
  }
  return text;
}

TEST_F(EngineTest, SlidingOntoAUserReferenceWarnsWhenTheSampleIsNotSuperimposed) {
  const char* protocol = "0 0 1 0\n0 0 2 0\n1 0 3 1\n1 0 4 1\n1 0 5 1\n1 0 6 1\n";
  set_control("DistanceBox", 1);
  for (const auto& [turn, warned] : {std::pair{1.0, true}, std::pair{0.05, false}}) {
    backend.messages.clear();
    engine_state() = EngineState{};
    act("Load", file("d.txt", turned_copies(turn)));
    act("LoadReference",
        file("r.txt", turned_copies(0).substr(0, turned_copies(0).find('\n') + 1)));
    act("LoadProtocol", file("p.txt", protocol));
    if (warned) {
      ASSERT_EQ(backend.messages.size(), 1u);
      EXPECT_THAT(backend.messages[0],
                  HasSubstr("5 of 6 specimens are turned more than 10 degrees"));
      EXPECT_THAT(backend.messages[0], HasSubstr("Superimpose the sample first"));
    } else {
      EXPECT_TRUE(backend.messages.empty()) << backend.messages[0];
    }
  }
}

}  // namespace
}  // namespace tav::test
