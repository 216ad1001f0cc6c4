// Memory that runs out in the batch tool's load or run is told as a file too large for memory,
// naming it, with exit status 1; "std::bad_alloc" never reaches the user.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <new>
#include <sstream>

#include "engine/engine_state.h"
#include "shell/batch.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;
using ::testing::Not;

const std::string kData = std::string(TAV_TEST_DATA) + "/faults/good.txt";
const std::string kProtocol = std::string(TAV_TEST_DATA) + "/faults/protocol_four_landmarks.txt";

Consensus exhausted(const Matrix&, const CurveProtocol&) { throw std::bad_alloc(); }

struct Exhausted {
  const char* name;
  std::vector<std::string> args;
  void (*exhaust)(ConsensusRoutines&);
};

void PrintTo(const Exhausted& c, std::ostream* os) { *os << c.name; }

class BatchOutOfMemory : public ::testing::TestWithParam<Exhausted> {};

TEST_P(BatchOutOfMemory, SaysWhichFileIsTooLargeAndFails) {
  TempDir temp;
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"--save", temp.file("s.txt")});
  Session session;
  GetParam().exhaust(session.routines);
  std::ostringstream err;
  EXPECT_EQ(run_batch(parse_batch_options(args), err, session), kBatchFailed);
  EXPECT_THAT(err.str(), HasSubstr("good.txt is too large for memory"));
  EXPECT_THAT(err.str(), Not(HasSubstr("bad_alloc")));
  EXPECT_TRUE(temp.entries().empty()) << "nothing is written";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, BatchOutOfMemory,
    ::testing::Values(Exhausted{"load",
                                {"--data", kData},
                                [](ConsensusRoutines& r) {
                                  r.plain = [](const Matrix&) -> Consensus {
                                    throw std::bad_alloc();
                                  };
                                }},
                      Exhausted{"run",
                                {"--data", kData, "--protocol", kProtocol, "--distance"},
                                [](ConsensusRoutines& r) { r.distance = exhausted; }}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav::test
