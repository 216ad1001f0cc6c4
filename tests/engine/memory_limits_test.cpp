// Counts a file's header promises are checked against what the file holds before anything of
// their size is made: a file of a few bytes promising a hundred million specimens is refused at
// once, at its line, within a small memory limit. Where memory does run out, the user reads
// that the file is too large for memory, naming it, never "std::bad_alloc".
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <new>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine_fixture.h"
#include "platform/parallel.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;
using ::testing::Not;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The bytes of address space this process uses now.
size_t address_space() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0;
  statm >> pages;
  return pages * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}

// What `work` returns when run in a child process whose address space may grow by `extra`
// bytes at most. A sanitizer reserves its shadow memory up front and then cannot work under
// such a limit: there, `work` runs in this process without one.
std::string within_memory(size_t extra, const std::function<std::string()>& work) {
  if (kSanitized) return work();
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    set_thread_count(1);  // the limit leaves no room for the stacks of more threads
    const rlimit limit{address_space() + extra, address_space() + extra};
    ::setrlimit(RLIMIT_AS, &limit);
    std::string said;
    try {
      said = work();
    } catch (const std::exception& e) {
      said = std::string("escaped the action: ") + e.what();
    }
    for (size_t done = 0; done < said.size();) {
      const ssize_t n = ::write(fds[1], said.data() + done, said.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string said;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
    said.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status))
    said += " {the child process died of signal " + std::to_string(WTERMSIG(status)) + "}";
  return said;
}

struct Promise {
  const char* name;
  const char* action;  // "Load", or "LoadProtocol" after a sample of 4 points
  const char* file;    // under tests/data/counts
  const char* where;   // ", line N: "
  std::vector<std::string> says;
};

void PrintTo(const Promise& c, std::ostream* os) { *os << c.name; }

class HugeCount : public EngineTest, public ::testing::WithParamInterface<Promise> {};

TEST_P(HugeCount, IsRefusedAtItsLineWithinASmallMemoryLimit) {
  const Promise& c = GetParam();
  act("Load", data_path("faults/good.txt"));
  ASSERT_GT(engine_state().loaded.specimens(), 0);
  const std::string path = data_path("counts/" + std::string(c.file));
  const std::string said = within_memory(size_t{256} << 20, [&] {
    const Matrix before = engine_state().sample;
    backend.messages.clear();
    act(c.action, path);
    std::string text;
    for (const std::string& m : backend.messages) text += m + "\n";
    if (engine_state().sample != before) text += "{the sample changed}";
    return text;
  });
  EXPECT_THAT(said, HasSubstr("file " + path + c.where));
  for (const std::string& s : c.says) EXPECT_THAT(said, HasSubstr(s));
  EXPECT_THAT(said, HasSubstr("nothing was loaded"));
  EXPECT_THAT(said, Not(HasSubstr("memory")));
  EXPECT_THAT(said, Not(HasSubstr("{the sample changed}")));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HugeCount,
    ::testing::Values(
        Promise{"nts_specimens",
                "Load",
                "nts_specimens.nts",
                ", line 2: ",
                {"the file ends where value 1 of specimen 2 was expected",
                 "announces 100000000 specimens of 4 values each"}},
        Promise{"nts_specimen_labels",
                "Load",
                "nts_labels.nts",
                ", line 2: ",
                {"the file ends where a specimen label was expected"}},
        Promise{"nts_specimens_and_values",
                "Load",
                "nts_specimens_and_values.nts",
                ", line 2: ",
                {"value 3 of specimen 1"}},
        Promise{"morphologika_individuals",
                "Load",
                "morphologika_individuals.txt",
                ", line 9: ",
                {"[rawpoints] holds 2 point lines", "[individuals] 100000000 × [landmarks] 2"}},
        Promise{"morphologika_individuals_and_landmarks",
                "Load",
                "morphologika_individuals_and_landmarks.txt",
                ", line 10: ",
                {"[rawpoints] holds 1 point lines", "= 10000000000000000 were expected"}},
        Promise{"tps_landmarks",
                "Load",
                "tps_landmarks.tps",
                ", line 4: ",
                {"after 2 of the 999999999 landmarks that LM=999999999 on line 1 announces"}},
        Promise{"tps_curves",
                "Load",
                "tps_curves.tps",
                ", line 6: ",
                {"the file ends after 1 of the 999999999 curves"}},
        Promise{"tps_curve_points",
                "Load",
                "tps_points.tps",
                ", line 5: ",
                {"after 1 of the 999999999 curve points that POINTS=999999999 on line 4"}},
        Promise{"sliders_point_number",
                "LoadProtocol",
                "sliders_point.csv",
                ", line 2: ",
                {"names point 1000000000, but the data have 4 points"}}),

    [](const auto& i) { return std::string(i.param.name); });

// A file larger than the memory left: the load says so, naming the file, and keeps the sample.
class OutOfMemory : public EngineTest {};

TEST_F(OutOfMemory, ALoadTooLargeForMemoryNamesTheFileAndKeepsTheSample) {
  if (kSanitized) GTEST_SKIP() << "a sanitizer's shadow memory leaves no room for a limit";
  act("Load", data_path("faults/good.txt"));
  std::string rows;
  for (int i = 0; i < 40000; ++i) rows += "0 0 10.5 0.5 10 10 -0.5 9.5 1 2 3 4 5 6 7 8 9 10 11\n";
  std::string big;
  while (big.size() < (size_t{48} << 20)) big += rows;
  const std::string path = file("big.txt", big);
  const std::string said = within_memory(size_t{32} << 20, [&] {
    backend.messages.clear();
    act("Load", path);
    std::string text;
    for (const std::string& m : backend.messages) text += m + "\n";
    if (engine_state().sample.rows() != 3) text += "{the sample changed}";
    return text;
  });
  EXPECT_THAT(said, HasSubstr("file " + path + " is too large for memory"));
  EXPECT_THAT(said, HasSubstr("nothing was loaded"));
  EXPECT_THAT(said, Not(HasSubstr("bad_alloc")));
  EXPECT_THAT(said, Not(HasSubstr("{the sample changed}")));
}

// The memory runs out in the middle of the work, not only while the file is read.
TEST_F(OutOfMemory, InTheRunOrThePlainConsensusNamesTheSample) {
  const auto exhausted = [](auto&&...) -> Consensus { throw std::bad_alloc(); };
  consensus_routines().distance = exhausted;
  const std::string data = data_path("faults/good.txt");
  act("Load", data);
  const Matrix before = engine_state().sample;
  set_control("DistanceBox", 1);
  act("LoadProtocol", data_path("faults/protocol_four_landmarks.txt"));
  const std::string run = refusal();
  EXPECT_THAT(run, HasSubstr("stopped: file good.txt is too large for memory"));
  EXPECT_THAT(run, HasSubstr("the earlier sample and reference are kept"));
  EXPECT_EQ(engine_state().sample, before);

  consensus_routines().plain = exhausted;
  act("Load", data);
  EXPECT_THAT(refusal(), HasSubstr("file " + data + " is too large for memory"));
  EXPECT_EQ(engine_state().sample, before);
}

}  // namespace
}  // namespace tav::test
