// Actions of the engine one at a time: an action asked for by name while another runs (the
// window serves events at the running one's ticks) is refused with a note and changes
// nothing, and the running one ends as it would have.
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <utility>

#include "engine/engine_fixture.h"
#include "engine/run_observer.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

// Runs `once` at the first tick of the session's next long computation.
class AtFirstTick : public RunObserver {
 public:
  void tick() override {
    if (once) std::exchange(once, nullptr)();
  }
  std::function<void()> once;
};

TEST_F(EngineTest, AnActionAskedForByNameDuringAnotherIsRefusedAndChangesNothing) {
  act("Load", kExamples + "shells.txt");
  set_control("IterBox", 1);
  const Matrix loaded = engine_state().loaded.rows;
  const std::string saved = (dir / "saved.txt").string();
  AtFirstTick asker;
  session.observers.push_back(&asker);
  bool unchanged = false;
  asker.once = [&] {
    backend.choose(saved);
    for (const char* action : {"Save", "Clear", "Load"}) run_action(Value(action));
    unchanged = engine_state().loaded.rows == loaded && engine_state().sample == loaded &&
                status("FileBox").find("shells.txt") != std::string::npos;
  };
  act("LoadProtocol", kExamples + "shells_protocol.txt");
  session.observers.clear();
  EXPECT_TRUE(unchanged);
  ASSERT_EQ(backend.notices.size(), 3u);
  EXPECT_THAT(backend.notices[0],
              HasSubstr("\"Save\" was not done, because \"LoadProtocol\" is still running"));
  EXPECT_THAT(backend.notices[1], HasSubstr("\"Clear\" was not done"));
  EXPECT_THAT(backend.notices[2], HasSubstr("\"Load\" was not done"));
  EXPECT_FALSE(std::filesystem::exists(saved));
  EXPECT_FALSE(engine_state().last_run.mode_text.empty());  // the run ended as it would have
  EXPECT_EQ(engine_state().loaded.rows, loaded);
  EXPECT_EQ(engine_state().reference.cols(), loaded.cols());
}

}  // namespace
}  // namespace tav::test
