// Two sessions in one process keep their samples apart: run side by side (interleaved, or on
// two threads) each gives what it gives alone.
#include "engine/session.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "engine/controls.h"
#include "engine/zidudezu.h"

namespace tav::test {
namespace {
namespace fs = std::filesystem;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

// A window-less session with the run controls set and the dialogs answered in advance.
struct SessionRun {
  explicit SessionRun(bool distance) {
    make_headless_window(session.objects());
    Objects& g = session.objects();
    g.set(g.find_by_tag("DistanceBox").front(), "Value", Value(distance ? 1.0 : 0.0));
  }
  void act(const char* action, const std::string& path) {
    backend.choose(path);
    zidudezu(session, Value(action));
    ASSERT_TRUE(session.action_done) << action << " " << path;
  }
  ScriptedBackend backend;
  Session session{&backend};
};

class TwoSessions : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tavrel6_sessions_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    small = (dir / "small.txt").string();
    // The second sample: the first 25 specimens of the example.
    std::ifstream in(kExamples + "shells.txt");
    std::ofstream out(small);
    std::string line;
    for (int i = 0; i < 25 && std::getline(in, line); ++i) out << line << "\n";
  }
  void TearDown() override { fs::remove_all(dir); }
  // Alone: Load and LoadProtocol of one sample in a session of its own.
  static void alone(SessionRun& r, const std::string& data) {
    r.act("Load", data);
    r.act("LoadProtocol", kExamples + "shells_protocol.txt");
  }
  static void expect_same(const Session& a, const Session& b) {
    EXPECT_EQ(a.state.DATA, b.state.DATA);
    EXPECT_EQ(a.state.REFERENCE, b.state.REFERENCE);
    EXPECT_EQ(a.state.FNAME1, b.state.FNAME1);
  }

  fs::path dir;
  std::string big = kExamples + "shells.txt", small;
};

TEST_F(TwoSessions, InterleavedActionsGiveWhatSeparateRunsGive) {
  SessionRun first_alone(true), second_alone(false);
  alone(first_alone, big);
  alone(second_alone, small);

  SessionRun first(true), second(false);
  first.act("Load", big);
  second.act("Load", small);
  first.act("LoadProtocol", kExamples + "shells_protocol.txt");
  second.act("LoadProtocol", kExamples + "shells_protocol.txt");
  expect_same(first.session, first_alone.session);
  expect_same(second.session, second_alone.session);
  EXPECT_NE(first.session.state.DATA.rows(), second.session.state.DATA.rows());
  EXPECT_EQ(first.session.state.last_run.mode, "sliding by Procrustes distance");
  EXPECT_EQ(second.session.state.last_run.mode, "one-pass sliding by bending energy");
}

TEST_F(TwoSessions, TwoThreadsGiveWhatSeparateRunsGive) {
  SessionRun first_alone(true), second_alone(false);
  alone(first_alone, big);
  alone(second_alone, small);

  SessionRun first(true), second(false);
  std::thread a([&] { alone(first, big); });
  std::thread b([&] { alone(second, small); });
  a.join();
  b.join();
  expect_same(first.session, first_alone.session);
  expect_same(second.session, second_alone.session);
}

}  // namespace
}  // namespace tav::test
