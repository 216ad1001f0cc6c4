// Two sessions in one process keep their samples and their run settings (the digits of their
// saved numbers, the drawing switch, the pause per pass, the user's Stop) apart: run side by
// side (interleaved, or on two threads) each gives what it gives alone.
#include "engine/session.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/controls.h"
#include "engine/run_action.h"
#include "engine/run_observer.h"
#include "platform/console.h"
#include "platform/parallel.h"
#include "support/test_support.h"

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
    run_action(session, action);
    ASSERT_TRUE(backend.messages.empty() && backend.errors.empty()) << action << " " << path;
  }
  ScriptedBackend backend;
  Session session{&backend};
};

class TwoSessions : public ::testing::Test {
 protected:
  void SetUp() override {
    small = (dir / "small.txt").string();
    // The second sample: the first 25 specimens of the example.
    std::ifstream in(kExamples + "shells.txt");
    std::ofstream out(small);
    std::string line;
    for (int i = 0; i < 25 && std::getline(in, line); ++i) out << line << "\n";
  }
  // Alone: Load and LoadProtocol of one sample in a session of its own.
  static void alone(SessionRun& r, const std::string& data) {
    r.act("Load", data);
    r.act("LoadProtocol", kExamples + "shells_protocol.txt");
  }
  static void expect_same(const Session& a, const Session& b) {
    EXPECT_EQ(a.state.sample, b.state.sample);
    EXPECT_EQ(a.state.reference, b.state.reference);
    EXPECT_EQ(a.state.loaded.file, b.state.loaded.file);
  }

  TempDir temp;  // the test's own folder
  const fs::path& dir = temp.path();
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
  EXPECT_NE(first.session.state.sample.rows(), second.session.state.sample.rows());
  EXPECT_EQ(first.session.state.last_run.mode_text, "sliding by Procrustes distance");
  EXPECT_EQ(second.session.state.last_run.mode_text, "one-pass sliding by bending energy");
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

// Records the thread count the session's computations see, at each of their ticks.
class ThreadCountAtTicks : public RunObserver {
 public:
  void tick() override { seen.push_back(thread_count()); }
  std::vector<int> seen;
};

// Each session's console lines go to its own log, and its computations use its own thread
// count, also while another session works on another thread; the thread's own console and
// count are as they were afterwards.
TEST_F(TwoSessions, OnTwoThreadsEachWritesItsOwnLogAndUsesItsOwnThreadCount) {
  SessionRun first(true), second(false);
  std::ostringstream first_log, second_log;
  ThreadCountAtTicks first_ticks, second_ticks;
  first.session.log = &first_log;
  first.session.threads = 1;
  first.session.observers.push_back(&first_ticks);
  second.session.log = &second_log;
  second.session.threads = 2;
  second.session.observers.push_back(&second_ticks);
  std::thread a([&] { alone(first, kExamples + "shells.txt"); });
  std::thread b([&] { alone(second, small); });
  a.join();
  b.join();
  // Only the one-pass bending-energy run (the second session's) writes this line.
  EXPECT_THAT(second_log.str(), ::testing::HasSubstr("called getconsensusdist"));
  EXPECT_THAT(first_log.str(), ::testing::Not(::testing::HasSubstr("called getconsensusdist")));
  EXPECT_THAT(first_log.str(), ::testing::HasSubstr("junk = "));
  ASSERT_FALSE(first_ticks.seen.empty());
  ASSERT_FALSE(second_ticks.seen.empty());
  EXPECT_THAT(first_ticks.seen, ::testing::Each(1));
  EXPECT_THAT(second_ticks.seen, ::testing::Each(2));
  const std::size_t before = first_log.str().size();
  ConsoleCapture here;
  alone(first, small);
  EXPECT_EQ(here.text(), "") << "the session's lines go to its log, not to this thread's";
  EXPECT_GT(first_log.str().size(), before);
}

// A window's backend as the run sees it: it pauses after every pass (recorded, not waited).
class WindowBackend : public ScriptedBackend {
 public:
  bool headless() const override { return false; }
};

// How a session is set besides its sample: the digits of the numbers it saves, its drawing
// switch, its window's pause per pass, and the pass after which its user presses Stop (0: never).
struct RunSettings {
  int digits;
  bool drawing;
  double pause;
  int stop_after;
};

// The session's user pressing Stop during a pass; then `meanwhile` (another session's work)
// runs before the pass ends.
class StopPress : public RunObserver {
 public:
  StopPress(RunControl& control, int after) : control_(control), after_(after) {}
  void pass_measured(double, int pass) override {
    if (pass == after_) control_.request_stop();
    if (meanwhile) std::exchange(meanwhile, nullptr)();
  }
  std::function<void()> meanwhile;

 private:
  RunControl& control_;
  int after_;
};

// A window-less session set for the iterated run.
struct IteratedRun {
  explicit IteratedRun(const RunSettings& settings)
      : stop(session.runtime.control, settings.stop_after) {
    Objects& g = session.objects();
    make_headless_window(g);
    g.set(g.find_by_tag("IterBox").front(), "Value", Value(1.0));
    session.digits = settings.digits;
    g.set_drawing(settings.drawing);
    session.runtime.control.set_pass_pause_seconds(settings.pause);
    session.observers.push_back(&stop);
  }
  void load(const std::string& data) {
    backend.choose(data);
    run_action(session, "Load");
    ASSERT_GT(session.state.loaded.specimens(), 0) << data;
  }
  // Runs the protocol (and with it the iterated consensus); a Stop keeps the earlier results.
  void run() {
    backend.choose(kExamples + "shells_protocol.txt");
    run_action(session, "LoadProtocol");
  }
  // The text "Save" writes for the current sample.
  std::string saved(const std::string& path) {
    backend.choose(path);
    run_action(session, "Save");
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t line_objects() {
    size_t n = 0;
    for (Handle h : session.objects().listing(0))
      n += session.objects().kind(h) == ObjectType::line;
    return n;
  }
  // The boxes shown, messages and errors in one list.
  std::vector<std::string> boxes() const {
    std::vector<std::string> all = backend.messages;
    all.insert(all.end(), backend.errors.begin(), backend.errors.end());
    return all;
  }

  WindowBackend backend;
  Session session{&backend};
  StopPress stop;
};

class TwoRunSettings : public TwoSessions {
 protected:
  // A sample of 40 whose user stops the run after its first pass, writing 12 digits and
  // drawing nothing; and one of 25 that runs to its end (several passes), writing 6 digits and
  // drawing, without a pause between passes.
  const RunSettings stopped{12, false, 0.25, 1}, running{6, true, 0, 0};

  void SetUp() override {
    TwoSessions::SetUp();
    noisy = (dir / "noisy.txt").string();
    write_noisy_sample();
    first_alone.load(big);
    first_alone.run();
    second_alone.load(noisy);
    second_alone.run();
  }
  // The first 25 specimens with every coordinate moved by up to 8 units (a fixed sequence of
  // pseudo-random numbers), so that the iterated run needs more than one pass.
  void write_noisy_sample() {
    std::ifstream in(kExamples + "shells.txt");
    std::ofstream out(noisy);
    out.precision(17);
    std::uint32_t state = 12345;
    std::string line;
    for (int i = 0; i < 25 && std::getline(in, line); ++i) {
      std::istringstream values(line);
      std::vector<double> row;
      for (double v; values >> v;) row.push_back(v);
      for (size_t c = 0; c + 1 < row.size(); ++c) {
        state = 1664525u * state + 1013904223u;
        out << row[c] + 8.0 * (state / 4294967296.0 * 2 - 1) << ' ';
      }
      out << row.back() << '\n';
    }
  }
  // Everything a run leaves: the results, the boxes, the pauses, the drawing and the saved text.
  void expect_same_run(IteratedRun& run, IteratedRun& alone, const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(run.session.state.sample, alone.session.state.sample);
    EXPECT_EQ(run.session.state.reference, alone.session.state.reference);
    EXPECT_EQ(run.session.state.last_run.passes, alone.session.state.last_run.passes);
    EXPECT_EQ(run.session.state.last_run.end, alone.session.state.last_run.end);
    EXPECT_EQ(run.session.state.last_run.mode_text, alone.session.state.last_run.mode_text);
    EXPECT_EQ(run.boxes(), alone.boxes());
    EXPECT_EQ(run.backend.pauses, alone.backend.pauses);
    EXPECT_EQ(run.line_objects(), alone.line_objects());
    const std::string path = (dir / (std::string(name) + ".txt")).string();
    const std::string alone_path = (dir / (std::string(name) + "_alone.txt")).string();
    EXPECT_EQ(run.saved(path), alone.saved(alone_path));
  }
  // What each setting gives, so that equal results cannot come from both sessions ignoring it.
  void expect_own_settings(IteratedRun& first, IteratedRun& second) {
    EXPECT_THAT(first.boxes(),
                ::testing::Contains(::testing::HasSubstr("stopped by the user after pass 1")));
    EXPECT_EQ(first.backend.pauses, std::vector<double>{0.25});
    EXPECT_EQ(first.line_objects(), 0u);
    ASSERT_FALSE(second.session.state.last_run.mode_text.empty());
    const int passes = second.session.state.last_run.passes;
    EXPECT_GT(passes, 1);  // not stopped by the other session's Stop
    EXPECT_EQ(second.backend.pauses, std::vector<double>(static_cast<size_t>(passes), 0.0));
    EXPECT_GT(second.line_objects(), 0u);
    const std::string first_text = first.saved((dir / "first_digits.txt").string());
    const std::string second_text = second.saved((dir / "second_digits.txt").string());
    std::string first_value, second_value;
    std::istringstream(first_text) >> first_value;
    std::istringstream(second_text) >> second_value;
    EXPECT_EQ(first_value, g_text(first.session.state.sample(0, 0), 12));
    EXPECT_EQ(second_value, g_text(second.session.state.sample(0, 0), 6));
  }

  std::string noisy;
  IteratedRun first_alone{stopped}, second_alone{running};
};

TEST_F(TwoRunSettings, AStopInOneSessionDoesNotStopTheOtherRunningMeanwhile) {
  IteratedRun first(stopped), second(running);
  first.load(big);
  second.load(noisy);
  // The second session's whole run happens after the first one's Stop, before its pass ends.
  first.stop.meanwhile = [&] { second.run(); };
  first.run();
  expect_same_run(first, first_alone, "first");
  expect_same_run(second, second_alone, "second");
  expect_own_settings(first, second);
}

TEST_F(TwoRunSettings, TwoThreadsKeepTheirOwnSettings) {
  IteratedRun first(stopped), second(running);
  std::thread a([&] {
    first.load(big);
    first.run();
  });
  std::thread b([&] {
    second.load(noisy);
    second.run();
  });
  a.join();
  b.join();
  expect_same_run(first, first_alone, "first");
  expect_same_run(second, second_alone, "second");
  expect_own_settings(first, second);
}

}  // namespace
}  // namespace tav::test
