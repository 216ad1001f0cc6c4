// Sliders tables as curve protocols in a session: the bundled example's protocol as a sliders
// table gives the same consensus, the loaded protocol writes back as the table, and a table that
// is not one is refused with nothing loaded changed.
#include "formats/sliders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "formats/files.h"
#include "support/protocol_kinds.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

const std::string examples = std::string(TAV_SOURCE_DIR) + "/examples/";

// The example's helper points (25 and 32, type 2 in its protocol) are sliders in the table:
// the curves, and so the one-pass bending-energy consensus, are the same; only their type is.
TEST_F(EngineTest, ExampleProtocolAsSlidersTableGivesTheSameOnePassBendingConsensus) {
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_protocol.txt");
  const EngineState original = engine_state();
  ASSERT_GT(original.reference.size(), 0);
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_sliders.csv");
  const EngineState& s = engine_state();
  EXPECT_EQ(s.protocol.curves.members, original.protocol.curves.members);
  EXPECT_EQ(s.reference, original.reference);
  EXPECT_EQ(s.sample, original.sample);
  Row types = kinds_row(original.protocol);
  types(24) = types(31) = 1;
  EXPECT_EQ(kinds_row(s.protocol), types);
  EXPECT_THAT(status("ProtoBox"), HasSubstr("4 Landmarks \n 28 Semi-Landmarks\n 0 Helper Points"));
}

TEST_F(EngineTest, LoadedProtocolWritesBackAsTheExampleSlidersTable) {
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_protocol.txt");
  EXPECT_EQ(sliders_text(engine_state().protocol.curves), read(examples + "shells_sliders.csv"));
}

struct Refusal {
  const char* name;
  const char* table;
  long line;
  const char* says;
  // A file of tests/data/faults given as the protocol instead of `table`: a table that is not
  // one, refused with what a protocol's rows hold rather than a landmark reader's words.
  const char* fixture = nullptr;
};

class SlidersRefusal : public EngineTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SlidersRefusal, LoadProtocolStopsNamingFileAndLineAndChangesNothing) {
  const Refusal& c = GetParam();
  act("Load", examples + "shells.txt");
  act("LoadProtocol", examples + "shells_protocol.txt");
  const EngineState before = engine_state();
  const std::string path =
      c.fixture ? data_path(std::string("faults/") + c.fixture) : file("s.csv", c.table);
  backend.messages.clear();
  act("LoadProtocol", path);
  const std::string said = refusal();
  EXPECT_THAT(said, HasSubstr("file " + path + ", line " + std::to_string(c.line) + ": "));
  EXPECT_THAT(said, HasSubstr(c.says));
  if (c.fixture) {
    EXPECT_THAT(said, HasSubstr("; a curve-protocol row holds four whole numbers (curve code"));
    EXPECT_THAT(said, HasSubstr("and a sliders row three point numbers (before, slider, after)"));
  }
  EXPECT_EQ(engine_state().protocol.rows, before.protocol.rows);
  EXPECT_EQ(engine_state().protocol.curves, before.protocol.curves);
  EXPECT_EQ(engine_state().sample, before.sample);
  EXPECT_EQ(engine_state().reference, before.reference);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlidersRefusal,
    ::testing::Values(
        Refusal{"neighbours_disagree", "1,5,6\n7,6,8\n", 1, "but line 2 gives 7 before 6"},
        Refusal{"slides_twice", "before,slider,after\n1,5,6\n\n2,5,7\n", 4,
                "point 5 slides a second time (first on line 2)"},
        Refusal{"beyond_the_data", "1,5,6\n5,6,40\n", 2,
                "names point 40, but the data have 32 points"},
        Refusal{"own_neighbour", "5,5,6\n", 1, "is its own neighbour"},
        Refusal{"two_values", "1,5,6\n5,6\n", 2,
                "expected three point numbers (before, slider, after), found 2"},
        Refusal{"not_a_point", "1,5,6\n5,6,x\n", 2, "found \"x\" in column 3"},
        Refusal{"header_then_a_short_row", "", 2, "found 2 values", "sliders_header_short_row.csv"},
        Refusal{"quoted_header_then_a_word", "", 2,
                "found \"x\" in column 3, which is not a number", "sliders_quoted_header.csv"},
        Refusal{"point_zero", "", 1, "found \"0\" in column 1", "sliders_point_zero.tsv"},
        Refusal{"word_in_a_curve_protocol_row", "", 2,
                "found \"x\" in column 3, which is not a number", "protocol_word_in_row.txt"},
        Refusal{"curve_protocol_under_names", "", 1,
                "found a line of names, \"curve,zero,point,type\", above rows of 4 "
                "numbers; only a sliders table may begin with a line of names",
                "protocol_names_line.csv"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
