// What a sitting at the window relies on: runs that do not depend on earlier runs, Clear that
// leaves nothing behind, refused files that change nothing and are shown to the user.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

class SessionTest : public EngineTest {
 protected:
  const std::string examples = std::string(TAV_SOURCE_DIR) + "/examples/";
  void load_example() {
    act("Load", examples + "shells.txt");
    act("LoadProtocol", examples + "shells_protocol.txt");
  }
};

struct RunKind {
  const char* name;
  const char* box;  // the run control switched on; "" for the one-pass bending-energy run
};
class EveryRun : public SessionTest, public ::testing::WithParamInterface<RunKind> {};

TEST_P(EveryRun, SecondRunStartsFromTheSampleAsLoadedAndGivesTheSameResult) {
  if (*GetParam().box) set_control(GetParam().box, 1);
  load_example();
  const Matrix first_reference = engine_state().reference, first_sample = engine_state().sample;
  act("LoadProtocol", examples + "shells_protocol.txt");
  EXPECT_EQ(engine_state().reference, first_reference);
  EXPECT_EQ(engine_state().sample, first_sample);
  EXPECT_EQ(engine_state().loaded.rows.rows(), 40);
}

INSTANTIATE_TEST_SUITE_P(Runs, EveryRun,
                         ::testing::Values(RunKind{"bending_one_pass", ""},
                                           RunKind{"iterated", "IterBox"},
                                           RunKind{"distance", "DistanceBox"},
                                           RunKind{"plain", "NoAlignButton"}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST_F(SessionTest, ClearLeavesNothingToSaveAndANewLoadStartsClean) {
  load_example();
  run_action(Value("Clear"));
  backend.messages.clear();
  backend.titles.clear();
  for (const char* save :
       {"Save", "SaveLMSLM", "SaveLM", "SaveReference", "SaveReferenceLMSLM", "SaveReferenceLM"}) {
    SCOPED_TRACE(save);
    run_action(Value(save));
  }
  EXPECT_TRUE(backend.titles.empty());  // no file was asked for
  ASSERT_EQ(backend.messages.size(), 6u);
  for (const std::string& m : backend.messages)
    EXPECT_THAT(m, HasSubstr("There is nothing to save"));
  EXPECT_EQ(status("FileBox"), "No File Active");
  EXPECT_EQ(status("ProtoBox"), "No Protocol Loaded");

  act("Load", examples + "shells.txt");
  run_action(Value("Replot"));
  EXPECT_EQ(drawn("*"), 40u * 32u);  // the sample alone, without the earlier point kinds
  EXPECT_EQ(drawn(), 40u * 32u);
  EXPECT_FALSE(engine_state().protocol.has_curves);
  EXPECT_EQ(kinds_row(engine_state().protocol).size(), 0);
}

TEST_F(SessionTest, RefusedProtocolChangesNothingThatIsShown) {
  load_example();
  const std::string counts = status("ProtoBox");
  const Row types = kinds_row(engine_state().protocol);
  ASSERT_THAT(counts, HasSubstr(" 4 Landmarks \n 26 Semi-Landmarks\n 2 Helper Points"));
  backend.messages.clear();
  act("LoadProtocol", file("beyond.txt", "0 0 1 0\n0 0 2 0\n1 0 40 2\n"));  // 32 points only
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("names point 40"));
  EXPECT_EQ(status("ProtoBox"), counts);
  EXPECT_EQ(kinds_row(engine_state().protocol), types);
  act("LoadProtocol", examples + "shells_protocol.txt");
  EXPECT_EQ(status("ProtoBox"), counts);
}

TEST_F(SessionTest, RefusedFilesAreShownInAMessageNamingFileAndLineAndChangeNothing) {
  load_example();
  const std::string loaded = status("FileBox");
  const Matrix sample = engine_state().sample;
  struct Case {
    const char* action;
    const char* name;
    const char* text;
  };
  for (const Case& c : {Case{"Load", "typo.txt", "1 2 3 4 5\n1 2 3 x4 5\n"},
                        Case{"LoadReference", "typo_ref.txt", "1 2 3 4 5\n1 2 3 x4 5\n"},
                        Case{"LoadProtocol", "typo_protocol.txt", "0 0 1 0\n0 0 2 o\n"}}) {
    SCOPED_TRACE(c.action);
    backend.messages.clear();
    const std::string path = file(c.name, c.text);
    act(c.action, path);
    ASSERT_EQ(backend.messages.size(), 1u);
    EXPECT_THAT(backend.messages[0], HasSubstr("file " + path + ", line 2"));
    EXPECT_THAT(capture->text(), HasSubstr("file " + path + ", line 2"));
    EXPECT_EQ(status("FileBox"), loaded);
    EXPECT_EQ(engine_state().sample, sample);
  }
}

}  // namespace
}  // namespace tav::test
