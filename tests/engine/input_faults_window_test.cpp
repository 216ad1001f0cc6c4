// The window's actions on files from spreadsheets, other programs and older systems, under a
// German locale (decimal comma): every case is read right or refused with a message.
#include <clocale>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;
using ::testing::Not;

const std::string kFaults = std::string(TAV_TEST_DATA) + "/faults/";
const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

// A step: an action and its file ("@name": a file in the test's folder; "ex:name": a bundled
// example; else a fixture of tests/data/faults).
struct Act {
  const char* action;
  std::string file;
};

struct WindowFault {
  const char* name;
  std::vector<Act> steps;
  std::vector<std::string> seen;        // in the boxes, the console's errors or the status texts
  std::string output = "", holds = "";  // a file of the test's folder and a text it must hold
  std::string not_holds = "";           // ... and one it must not
  bool distance = false;
};

std::vector<WindowFault> window_faults() {
  return {
      {"bundled_example_under_german_locale",
       {{"Load", "ex:shells.txt"},
        {"LoadProtocol", "ex:shells_protocol.txt"},
        {"Save", "@out.txt"}},
       {"Protocol File: shells_protocol.txt"},
       "out.txt",
       ".",
       ",",
       true},
      {"blank_line_in_data_told_in_a_box",
       {{"Load", "blank_line_inside.txt"}},
       {"blank_line_inside.txt", "empty line 3", "1 lines with numbers after it were not read"}},
      {"blank_line_in_protocol_told_in_a_box",
       {{"Load", "good.txt"}, {"LoadProtocol", "protocol_blank_line.txt"}},
       {"protocol_blank_line.txt", "empty line 3", "3 lines with numbers after it were not read"}},
      {"decimal_commas_refused",
       {{"Load", "decimal_commas.txt"}},
       {"decimal_commas.txt", "comma", "decimal point"}},
      {"crlf_file_with_a_last_blank_line",
       {{"Load", "crlf_last_line_blank.txt"}},
       {"3 Specimens", "4 Landmarks"}},
      {"old_mac_line_ends", {{"Load", "old_mac.txt"}}, {"3 Specimens"}},
      {"byte_order_mark_skipped", {{"Load", "byte_order_mark.txt"}}, {"3 Specimens"}},
      {"specimen_ids_written_as_read",
       {{"Load", "long_ids.txt"},
        {"LoadProtocol", "protocol_four_landmarks.txt"},
        {"Save", "@out.txt"}},
       {},
       "out.txt",
       " 20230815001  \n",
       "e+"},
      {"reference_of_two_lines_refused",
       {{"Load", "good.txt"}, {"LoadReference", "two_line_reference.txt"}},
       {"two_line_reference.txt", "holds 2 configurations"}},
      {"huge_coordinates_refused",
       {{"Load", "huge_coordinates.txt"}},
       {"huge_coordinates.txt, line 1", "too large"}},
      {"nul_byte_refused", {{"Load", "nul_byte.txt"}}, {"nul_byte.txt, line 2", "0x00"}},
      {"tps_missing_points_warned",
       {{"Load", "missing_points.tps"}},
       {"missing_points.tps: specimen 1 (ID=a), point 3 (line 4: -1 -1) looks like a point the "
        "digitiser left out",
        "specimen 2 (ID=b), point 4 (line 11: -999 -999)", "3 Specimens"}},
      {"save_before_load_refused_and_file_kept",
       {{"Save", "@earlier.txt"}},
       {"no sample is loaded"},
       "earlier.txt",
       "earlier result\n"},
      {"other_point_count_forgets_the_protocol",
       {{"Load", "good.txt"},
        {"LoadProtocol", "protocol_four_landmarks.txt"},
        {"Load", "three_points.txt"},
        {"SaveLM", "@lm.txt"}},
       {"Protocol forgotten", "was for 4 points", "the data have 3", "Nothing was saved"}},
  };
}

void PrintTo(const WindowFault& c, std::ostream* os) { *os << c.name; }

class WindowFaultTest : public EngineTest, public ::testing::WithParamInterface<WindowFault> {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    // The window runs under the user's locale (Qt sets it from the environment).
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the locale de_DE.UTF-8 is missing: run scripts/setup, which generates it";
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    EngineTest::TearDown();
  }
  std::string path(const std::string& f) {
    if (f[0] == '@') return (dir / f.substr(1)).string();
    if (f.rfind("ex:", 0) == 0) return kExamples + f.substr(3);
    return kFaults + f;
  }
};

TEST_P(WindowFaultTest, IsReadRightOrRefusedWithAMessage) {
  const WindowFault& c = GetParam();
  set_control("DistanceBox", c.distance);
  set_control("NoAlignButton", !c.distance);
  file("earlier.txt", "earlier result\n");
  std::string seen;
  for (const Act& a : c.steps) {
    try {
      act(a.action, path(a.file));
    } catch (const Error& e) {
      seen += std::string(e.what()) + "\n";
    }
    backend.answers.clear();  // an action refused before its dialog leaves its answer
  }
  for (const auto& m : backend.messages) seen += m + "\n";
  for (const auto& m : backend.errors) seen += m + "\n";
  for (const char* box : {"FileBox", "ProtoBox"}) {
    const Value v = gr().get(gr().find_by_tag(box).front(), "String");
    if (v.is_text()) seen += "\n" + v.text();
  }
  for (const std::string& s : c.seen) EXPECT_THAT(seen, HasSubstr(s));
  if (c.output.empty()) return;
  const std::string out = read((dir / c.output).string());
  EXPECT_THAT(out, HasSubstr(c.holds));
  if (!c.not_holds.empty()) {
    EXPECT_THAT(out, Not(HasSubstr(c.not_holds)));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowFaultTest, ::testing::ValuesIn(window_faults()),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
