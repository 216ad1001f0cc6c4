#include <cmath>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "formats/files.h"
#include "platform/format.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

// Six points on a rough hexagon, turned, scaled and shifted per specimen, trailing value 7+i.
std::string hexagon_sample(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    const double turn = 0.3 * i, scale = 1 + 0.1 * i, dx = i, dy = -2.0 * i;
    for (int p = 0; p < 6; ++p) {
      const double a = p * M_PI / 3, r = 1 + 0.05 * ((p * 7 + i) % 3);
      const double x = r * std::cos(a), y = r * std::sin(a);
      text += sprintf_m("%.10g %.10g ",
                        {Value(scale * (x * std::cos(turn) - y * std::sin(turn)) + dx),
                         Value(scale * (x * std::sin(turn) + y * std::cos(turn)) + dy)});
    }
    text += std::to_string(7 + i) + "\n";
  }
  return text;
}

const char* kExampleProtocol =
    "0 0 1 0\n0 0 2 0\n-1 0 3 1\n-1 0 4 1\n-1 0 5 2\n1 0 2 0\n1 0 6 1\n1 0 1 0\n";

TEST_F(EngineTest, UnknownActionFallsThroughAndChangesNothing) {
  run_action(Value("load"));
  run_action(Value(3.0));
  EXPECT_EQ(capture->text(), "\nFell through case\nFell through case");
  run_action(Value("ShowDF"));
  EXPECT_EQ(capture->text(), "\nFell through case\nFell through case");
  EXPECT_TRUE(backend.titles.empty());
}

TEST_F(EngineTest, LoadStoresTheSampleShowsItsCountsAndDrawsIt) {
  act("Load", file("wings.txt", hexagon_sample(12)));
  const EngineState& s = engine_state();
  EXPECT_EQ(s.sample.rows(), 12);
  EXPECT_EQ(s.loaded.file, "wings.txt");
  EXPECT_EQ(status("FileBox"), "File: wings.txt as numeric rows \n  12 Specimens \n   6 Landmarks");
  EXPECT_EQ(s.plain_consensus.size(), 13);
  EXPECT_FALSE(s.user_reference);
  EXPECT_EQ(drawn("*"), 72u);
  EXPECT_THAT(backend.titles.front(), HasSubstr("Load a sample"));
  act("Load", file("more.txt", hexagon_sample(2)));
  EXPECT_EQ(drawn("*"), 12u);  // in place of the first sample
}

TEST_F(EngineTest, LoadTellsHowManyLinesTheEndLineLeftUnread) {
  act("Load", file("cut.txt", hexagon_sample(3) + "\n" + hexagon_sample(2)));
  EXPECT_EQ(engine_state().sample.rows(), 3);
  EXPECT_THAT(status("FileBox"), HasSubstr("2 lines after the end line unread"));
  ASSERT_EQ(backend.messages.size(), 1u);  // lines with numbers were left: a box says so
  EXPECT_THAT(backend.messages[0], HasSubstr("empty line 4"));
  EXPECT_THAT(backend.messages[0], HasSubstr("2 lines with numbers after it were not read"));
}

TEST_F(EngineTest, LoadOfBadFilesChangesNothing) {
  act("Load", file("good.txt", hexagon_sample(3)));
  const Matrix before = engine_state().sample;
  act("Load", (dir / "missing.txt").string());
  EXPECT_THAT(refusal(), HasSubstr("missing.txt"));
  act("Load", file("ragged.txt", "1 2 3\n1 2\n"));
  EXPECT_THAT(refusal(), HasSubstr("ragged.txt, line 2"));
  backend.cancel();
  run_action(Value("Load"));
  EXPECT_EQ(engine_state().sample, before);
  EXPECT_EQ(engine_state().loaded.file, "good.txt");
}

TEST_F(EngineTest, LoadRefusesASpecimenWhosePointsCoincide) {
  act("Load", file("flat.txt", "0 0 1 0 0 1 1\n2 2 2 2 2 2 1\n"));
  const std::string said = refusal();
  EXPECT_THAT(said, HasSubstr("flat.txt"));
  EXPECT_THAT(said, HasSubstr("2"));
  EXPECT_EQ(engine_state().sample.size(), 0);
}

TEST_F(EngineTest, LoadReferenceWarnsOnceWhenTheLandmarkCountDiffers) {
  act("Load", file("d.txt", hexagon_sample(4)));
  act("LoadReference", file("r.txt", "1 0 0 1 -1 0 0 -1 1 1 -1 1 1\n"));
  EXPECT_TRUE(backend.messages.empty());
  EXPECT_EQ(status("FileBox"),
            "File: d.txt as numeric rows \n   4 Specimens \n   6 Landmarks\n Reference: r.txt as "
            "numeric rows");
  act("LoadReference", file("r5.txt", "1 0 0 1 -1 0 0 -1 1 1 1\n"));
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_EQ(backend.messages[0],
            "The number of landmarks in the User Reference loaded does not match the number of LM "
            "in the data");
  EXPECT_TRUE(engine_state().user_reference);
}

TEST_F(EngineTest, ProtocolExampleGivesItsListsAndCounts) {
  act("Load", file("d.txt", hexagon_sample(5)));
  set_control("NoAlignButton", 1);
  act("LoadProtocol", file("p.txt", kExampleProtocol));
  const EngineState& s = engine_state();
  EXPECT_EQ(s.protocol.curves.numfull, -1);
  EXPECT_EQ(s.protocol.curves.numopen, 1);
  EXPECT_EQ(s.protocol.curves.members,
            (std::vector<std::vector<int>>{{3, 4, 5}, {1, 2}, {2, 6, 1}}));
  EXPECT_EQ(s.protocol.curves.types,
            (std::vector<std::vector<double>>{{1, 1, 2}, {0, 0}, {0, 1, 0}}));
  EXPECT_EQ(kinds_row(s.protocol), row({0, 0, 1, 1, 2, 1}));
  EXPECT_EQ(s.protocol.landmarks, 2);
  EXPECT_EQ(s.protocol.semilandmarks, 3);
  EXPECT_EQ(s.protocol.helpers, 1);
  EXPECT_EQ(status("ProtoBox"),
            "Protocol File: p.txt \n 2 Landmarks \n 3 Semi-Landmarks\n 1 Helper Points");
  EXPECT_THAT(capture->text(), HasSubstr("j = -1\nj = 0\nj = 1\n"));
  EXPECT_EQ(gr().get(figure, "Pointer"), Value("arrow"));
}

TEST_F(EngineTest, ProtocolNotStartingWithCurveZeroIsAnnouncedAndStillBuilt) {
  act("Load", file("d.txt", hexagon_sample(5)));
  set_control("NoAlignButton", 1);
  act("LoadProtocol", file("p.txt", "2 0 1 1\n0 0 2 0\n1 0 3 1\n1 0 4 1\n2 0 5 1\n2 0 6 1\n"));
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("The first curve listed is not Curve 0"));
  EXPECT_EQ(engine_state().protocol.curves.members.size(), 3u);
}

struct BadProtocol {
  const char* name;
  const char* text;
  const char* message;
};

class ProtocolRefused : public EngineTest, public ::testing::WithParamInterface<BadProtocol> {};

TEST_P(ProtocolRefused, BeforeAnythingChangesWithFileAndRow) {
  act("Load", file("d.txt", hexagon_sample(5)));
  const EngineState before = engine_state();
  act("LoadProtocol", file("bad.txt", GetParam().text));
  const std::string said = refusal();
  EXPECT_THAT(said, HasSubstr("bad.txt"));
  EXPECT_THAT(said, HasSubstr(GetParam().message));
  EXPECT_TRUE(engine_state().protocol.rows.size() == 0 && !engine_state().protocol.has_curves);
  EXPECT_EQ(kinds_row(engine_state().protocol).size(), kinds_row(before.protocol).size());
  EXPECT_EQ(gr().get(figure, "Pointer"), Value("arrow"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProtocolRefused,
    ::testing::Values(
        BadProtocol{"gap_in_codes", "0 0 1 0\n2 0 2 1\n2 0 3 1\n", "no row has curve code 1"},
        BadProtocol{"point_zero", "0 0 0 0\n", "row 1: the point 0 is not a positive whole number"},
        BadProtocol{"fractional_point", "0 0 1 0\n0 0 1.5 0\n", "row 2: the point 1.5"},
        BadProtocol{"negative_point", "0 0 -2 0\n", "the point -2"},
        BadProtocol{"three_columns", "0 0 1\n", "a curve-protocol row holds four whole numbers"},
        BadProtocol{"point_twice_in_a_curve", "0 0 1 0\n0 0 2 0\n0 0 1 0\n",
                    "row 3: point 1 is listed twice in curve 0 (rows 1 and 3)"},
        BadProtocol{"type_beyond_two", "0 0 1 0\n0 0 2 3\n", "row 2: the type 3 is not 0"},
        BadProtocol{"point_of_two_types", "0 0 1 0\n0 0 2 0\n1 0 1 1\n1 0 3 1\n1 0 2 0\n",
                    "row 3: point 1 has type 1, but row 1 gives it type 0"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(EngineTest, ProtocolWithoutDataIsRefused) {
  act("LoadProtocol", file("p.txt", kExampleProtocol));
  EXPECT_THAT(refusal(), HasSubstr("no data are loaded"));
  EXPECT_EQ(engine_state().protocol.rows.size(), 0);
}

TEST_F(EngineTest, ProtocolNamingAPointBeyondTheDataStopsBeforeTheRun) {
  act("Load", file("d.txt", hexagon_sample(5)));
  const Matrix data = engine_state().sample;
  act("LoadProtocol", file("p.txt", "0 0 1 0\n0 0 2 0\n1 0 3 1\n1 0 4 1\n1 0 25 1\n"));
  EXPECT_EQ(kinds_row(engine_state().protocol).size(), 0);  // a refused protocol changes no count
  EXPECT_EQ(engine_state().protocol.landmarks + engine_state().protocol.semilandmarks, 0);
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("names point 25, but the data have 6 points"));
  EXPECT_EQ(engine_state().sample, data);
  EXPECT_EQ(gr().get(figure, "Pointer"), Value("arrow"));
}

// The choice of consensus routine by the three controls, with the routines recorded.
struct Choice {
  const char* name;
  double noalign, dreq, iterq;
  bool user_reference;
  std::vector<std::string> calls;
  bool fitted_afterwards;
};

class ConsensusChoice : public EngineTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(ConsensusChoice, RunsTheSelectedRoutinesInOrder) {
  act("Load", file("d.txt", hexagon_sample(5)));
  if (GetParam().user_reference) act("LoadReference", file("r.txt", hexagon_sample(1)));
  std::vector<std::string> calls;
  ConsensusRoutines& r = consensus_routines();
  const ConsensusRoutines real;
  r.plain = [&](const Matrix& x) {
    calls.push_back("getconsensus");
    return real.plain(x);
  };
  r.distance = [&](const Matrix& x, const CurveProtocol& p) {
    calls.push_back("getconsensusdist");
    return real.plain(x);
    (void)p;
  };
  r.distance_onto = [&](const Matrix& x, const CurveProtocol&, const Matrix& ref) {
    calls.push_back("getconsensusdistu");
    return Consensus{Eigen::Map<const Row>(ref.data(), ref.size()), x};
  };
  r.bending = [&](const Matrix& x, const CurveProtocol&) {
    calls.push_back("getconsensusmix2");
    return real.plain(x);
  };
  r.iterated_bending = [&](const Matrix& x, const CurveProtocol&, IterationObserver&) {
    calls.push_back("getconsensusmix5");
    return real.plain(x);
  };
  calls.clear();
  set_control("NoAlignButton", GetParam().noalign);
  set_control("DistanceBox", GetParam().dreq);
  set_control("IterBox", GetParam().iterq);
  act("LoadProtocol", file("p.txt", kExampleProtocol));
  EXPECT_EQ(calls, GetParam().calls);
  const bool called_dist_line =
      capture->text().find("\ncalled getconsensusdist") != std::string::npos;
  EXPECT_EQ(called_dist_line, GetParam().calls == std::vector<std::string>{"getconsensusmix2"});
  // After a sliding row the sample is fitted onto the reference: unit size, centred.
  const Matrix& d = engine_state().sample;
  EXPECT_EQ(d.rows(), 5);
  if (GetParam().fitted_afterwards) {
    const Matrix coords = d.leftCols(12);
    EXPECT_NEAR(coords.row(0).squaredNorm(), 1.0, 1e-9);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConsensusChoice,
    ::testing::Values(
        Choice{"distance", 0, 1, 0, false, {"getconsensusdist"}, true},
        Choice{"distance_iterate_ignored", 0, 1, 1, false, {"getconsensusdist"}, true},
        Choice{"distance_onto_user_reference", 0, 1, 0, true, {"getconsensusdistu"}, true},
        Choice{"iterated_bending_energy",
               0,
               0,
               1,
               false,
               {"getconsensusdist", "getconsensusmix5"},
               true},
        Choice{"iterated_even_with_user_reference",
               0,
               0,
               1,
               true,
               {"getconsensusdist", "getconsensusmix5"},
               true},
        Choice{"one_pass_bending_energy", 0, 0, 0, false, {"getconsensusmix2"}, true},
        Choice{"no_alignment", 1, 1, 1, true, {"getconsensus"}, false}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(EngineTest, DistanceRunOntoUserReferenceKeepsTheReference) {
  act("Load", file("d.txt", hexagon_sample(5)));
  act("LoadReference", file("r.txt", hexagon_sample(1)));
  const Matrix ref = engine_state().reference;
  set_control("DistanceBox", 1);
  act("LoadProtocol", file("p.txt", kExampleProtocol));
  EXPECT_EQ(engine_state().reference, ref);
}

TEST_F(EngineTest, AFailedRunKeepsEarlierResultsAndRestoresThePointer) {
  act("Load", file("d.txt", hexagon_sample(5)));
  const Matrix data = engine_state().sample;
  consensus_routines().bending = [](const Matrix&, const CurveProtocol&) -> Consensus {
    throw Error("curve 1 of specimen 3 is degenerate");
  };
  act("LoadProtocol", file("p.txt", kExampleProtocol));
  EXPECT_EQ(engine_state().sample, data);
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("specimen 3"));
  EXPECT_EQ(gr().get(figure, "Pointer"), Value("arrow"));
}

}  // namespace
}  // namespace tav::test

namespace tav::test {
namespace {

// A file chosen in another folder, by Load and by Load protocol, leaves the process's working
// folder where it was: later relative names mean what they meant before.
TEST_F(EngineTest, DialogsLeaveTheWorkingFolderWhereItWas) {
  const std::filesystem::path before = std::filesystem::current_path();
  const std::string examples = std::string(TAV_SOURCE_DIR) + "/examples/";
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_protocol.txt");
  EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace tav::test
