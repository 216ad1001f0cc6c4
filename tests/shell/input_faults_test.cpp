// Files from spreadsheets, other programs and older systems, and mistyped paths, through the
// batch tool: each case is read right or refused with a message, never a wrong result, lost
// data or a failure reported as success.
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "engine/engine_state.h"
#include "formats/files.h"
#include "platform/backend.h"
#include "shell/batch.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

const std::string kFaults = std::string(TAV_TEST_DATA) + "/faults/";

// A case: arguments (fixture names are taken from tests/data/faults, "@name" is a file in the
// case's scratch folder), the exit status, what standard error must say, and an output file
// that must hold (or, with a leading '!', must not hold) a text.
struct Fault {
  const char* name;
  std::vector<std::string> args;
  int status;
  std::vector<std::string> said;
  std::string output = "", holds = "";
  bool silent = false;  // nothing at all on standard error
};

std::vector<Fault> faults() {
  return {
      {"blank_line_inside_data_is_reported",
       {"--data", "blank_line_inside.txt", "--save", "@s.txt"},
       0,
       {"empty line 3", "1 lines with numbers after it were not read"}},
      {"decimal_commas_refused",
       {"--data", "decimal_commas.txt", "--save", "@s.txt"},
       1,
       {"line 2", "decimals with a comma", "decimal point"}},
      {"crlf_file_with_a_last_blank_line",
       {"--data", "crlf_last_line_blank.txt", "--save", "@s.txt"},
       0,
       {"3 specimens, 4 points"}},
      {"old_mac_line_ends",
       {"--data", "old_mac.txt", "--save", "@s.txt"},
       0,
       {"3 specimens, 4 points"}},
      {"byte_order_mark_skipped",
       {"--data", "byte_order_mark.txt", "--save", "@s.txt"},
       0,
       {"3 specimens"}},
      {"long_ids_kept_in_save",
       {"--data", "long_ids.txt", "--save", "@s.txt"},
       0,
       {},
       "s.txt",
       " 20230815001  \n"},
      {"close_ids_kept_apart",
       {"--data", "long_ids.txt", "--save-lm", "@s.txt"},
       0,
       {},
       "s.txt",
       " 1234568 \n"},
      {"long_ids_in_save_tps",
       {"--data", "long_ids.txt", "--save-tps", "@s.tps"},
       0,
       {},
       "s.tps",
       "ID=20230815001\n"},
      {"tps_missing_points_warned",
       {"--data", "missing_points.tps", "--save", "@s.txt", "--quiet"},
       0,
       {"missing_points.tps: specimen 1 (ID=a), point 3 (line 4: -1 -1) looks like a point",
        "specimen 2 (ID=b), point 4 (line 11: -999 -999)"}},
      // Points on all sides of the origin are data, not missing points.
      {"tps_negative_coordinates_read_without_warning",
       {"--data", "../tps/wings.tps", "--save", "@s.txt", "--quiet"},
       0,
       {},
       "s.txt",
       "",
       true},
      {"nul_byte_refused_at_once", {"--data", "nul_byte.txt"}, 1, {"line 2", "0x00", "not text"}},
      {"reference_of_two_lines_refused",
       {"--data", "good.txt", "--reference", "two_line_reference.txt", "--distance"},
       1,
       {"holds 2 configurations"}},
      {"huge_coordinates_refused",
       {"--data", "huge_coordinates.txt", "--save", "@s.txt"},
       1,
       {"line 1", "too large"},
       "!s.txt",
       ""},
      {"overflowing_scale_refused",
       {"--data", "scale_overflow.tps", "--save", "@s.txt"},
       1,
       {"specimen 1", "too large"}},
      {"save_onto_data_refused",
       {"--data", "@d.txt", "--save", "@d.txt"},
       2,
       {"--save", "--data"},
       "d.txt",
       "10.5"},
      {"save_reference_onto_protocol_refused",
       {"--data", "good.txt", "--protocol", "@p.txt", "--save-reference", "@./p.txt"},
       2,
       {"--save-reference", "--protocol"}},
      {"plot_onto_data_refused", {"--data", "@d.txt", "--plot", "@d.txt"}, 2, {"--plot", "--data"}},
      {"suggestion_onto_data_refused",
       {"--data", "@d.txt", "--suggest-protocol", "@d.txt"},
       2,
       {"--suggest-protocol"}},
      {"two_outputs_one_file_refused",
       {"--data", "good.txt", "--save", "@s.txt", "--save-lm", "@s.txt"},
       2,
       {"--save-lm", "--save"}},
      {"option_twice_refused",
       {"--data", "good.txt", "--save", "@a.txt", "--save", "@b.txt"},
       2,
       {"given twice"}},
      {"no_align_wins_over_distance",
       {"--data", "good.txt", "--distance", "--no-align"},
       0,
       {"--no-align wins over --distance"}},
      {"reference_without_distance_warned",
       {"--data", "good.txt", "--reference", "@r.txt"},
       0,
       {"--reference is used only by a --distance run"}},
      {"each_step_says_what_it_did",
       {"--data", "good.txt", "--save", "@s.txt"},
       0,
       {"read ", "3 specimens, 4 points", "run: plain Procrustes consensus", "wrote "}},
      {"quiet_says_nothing",
       {"--data", "good.txt", "--save", "@s.txt", "--quiet"},
       0,
       {},
       "s.txt",
       "  \n",
       true},
  };
}

void PrintTo(const Fault& c, std::ostream* os) { *os << c.name; }

class BatchFault : public ::testing::TestWithParam<Fault> {
 protected:
  void SetUp() override {
    fs::copy_file(kFaults + "good.txt", dir / "d.txt");
    std::ofstream(dir / "r.txt") << "0 0 10 0 10 10 0 10 1\n";
    std::ofstream(dir / "p.txt") << "0 0 1 0\n0 0 2 0\n0 0 3 0\n0 0 4 0\n";
  }
  // As the tool's main does it: bad arguments exit with 2 before any work.
  int run(const std::vector<std::string>& args) {
    std::ostringstream err;
    int status;
    try {
      BatchOptions o = parse_batch_options(args);
      Session session;
      session.routines = routines;
      status = run_batch(o, err, session);
    } catch (const Error& e) {
      err << e.what() << "\n";
      status = 2;
    }
    said = err.str();
    return status;
  }
  std::string path(const std::string& arg) const {
    if (arg.rfind("--", 0) == 0) return arg;
    if (arg[0] == '@') return (dir / arg.substr(1)).string();
    return kFaults + arg;
  }
  std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  TempDir temp;  // the test's own folder
  const fs::path dir = temp.path();
  std::string said;
  ConsensusRoutines routines;  // the batch run's
};

TEST_P(BatchFault, IsReadRightOrRefusedWithAMessage) {
  const Fault& c = GetParam();
  std::vector<std::string> args;
  for (const std::string& a : c.args) args.push_back(path(a));
  EXPECT_EQ(run(args), c.status) << said;
  for (const std::string& s : c.said) EXPECT_THAT(said, HasSubstr(s));
  if (c.silent) {
    EXPECT_EQ(said, "");
  }
  if (c.output.empty()) return;
  const bool absent = c.output[0] == '!';
  const fs::path out = dir / (absent ? c.output.substr(1) : c.output);
  if (absent) {
    EXPECT_FALSE(fs::exists(out));
  } else {
    EXPECT_THAT(read(out), HasSubstr(c.holds));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BatchFault, ::testing::ValuesIn(faults()),
                         [](const auto& i) { return std::string(i.param.name); });

// Inputs from a pipe are read once: a second read of standard input would find it empty.
class BatchPipedInput : public BatchFault {
 protected:
  // Runs the batch tool with `text` on standard input (small enough for the pipe's buffer).
  int run_with_stdin(const std::string& text, const std::vector<std::string>& args) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    EXPECT_EQ(::write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(fds[1]);
    const int saved = ::dup(0);
    ::dup2(fds[0], 0);
    ::close(fds[0]);
    const int status = run(args);
    ::dup2(saved, 0);
    ::close(saved);
    return status;
  }
};

TEST_F(BatchPipedInput, SuggestedProtocolOfTpsDataFromStandardInput) {
  const std::string tps = read(std::string(TAV_TEST_DATA) + "/tps/wings.tps");
  ASSERT_EQ(
      run_with_stdin(tps, {"--data", "/dev/stdin", "--suggest-protocol", (dir / "p.txt").string()}),
      0)
      << said;
  EXPECT_THAT(said, HasSubstr("5 specimens, 9 points"));
  EXPECT_THAT(read(dir / "p.txt"), HasSubstr("0 0 3 0\n1 0 4 1\n"));
}

TEST_F(BatchPipedInput, ProtocolFromStandardInputIsReadWhole) {
  // The same curve (point 3 slides between 2 and 4) as protocol rows and as a sliders table.
  for (const std::string protocol :
       {"0 0 1 0\n0 0 2 0\n0 0 4 0\n1 0 2 0\n1 0 3 1\n1 0 4 0\n", "before,slider,after\n2,3,4\n"}) {
    ASSERT_EQ(run_with_stdin(protocol, {"--data", kFaults + "good.txt", "--protocol", "/dev/stdin",
                                        "--distance"}),
              0)
        << said;
    EXPECT_THAT(said, HasSubstr("3 landmarks, 1 semi-landmarks")) << protocol;
  }
}

// A file name with control characters is printed with them escaped, in the status lines and in
// the readers' and writers' messages alike.
class BatchFileNames : public BatchFault {};

TEST_F(BatchFileNames, InMessagesCarryNoControlCharacters) {
  const fs::path data = dir / "bad\x1b[31mname\n.txt", out = dir / "out\r.txt";
  std::ofstream(data) << "1 2 x\n";
  std::ofstream(out) << "earlier\n";
  ::chmod(out.c_str(), 0444);
  struct Case {
    std::vector<std::string> args;
    std::string shown;
  };
  for (const Case& c : {Case{{"--data", data.string()}, "bad\\x1B[31mname\\x0A.txt, line 1"},
                        Case{{"--data", kFaults + "good.txt", "--save", out.string()},
                             "out\\x0D.txt: the file exists"},
                        Case{{"--data", kFaults + "good.txt", "--frob\x1b"}, "\"--frob\\x1B\""}}) {
    EXPECT_NE(run(c.args), 0);
    EXPECT_THAT(said, HasSubstr(c.shown));
    EXPECT_EQ(said.find_first_of("\x1b\r"), std::string::npos) << said;
  }
}

// Existing files at an output path: what the user made read-only stays, a mode stays, a link
// stays a link and its target gets the result, and a killed save's leftovers are cleaned.
class BatchOutputFile : public BatchFault {};

TEST_F(BatchOutputFile, ReadOnlyResultIsNotReplaced) {
  const fs::path out = dir / "s.txt";
  std::ofstream(out) << "earlier\n";
  ::chmod(out.c_str(), 0444);
  EXPECT_EQ(run({"--data", kFaults + "good.txt", "--save", out.string()}), 1);
  EXPECT_THAT(said, HasSubstr("read-only"));
  EXPECT_EQ(read(out), "earlier\n");
}

TEST_F(BatchOutputFile, ReplacedFileKeepsItsModeAndLinksAreWrittenThrough) {
  const fs::path out = dir / "s.txt", link = dir / "link.txt";
  std::ofstream(out) << "earlier\n";
  ::chmod(out.c_str(), 0600);
  fs::create_symlink(out, link);
  ASSERT_EQ(run({"--data", kFaults + "good.txt", "--save", link.string()}), 0) << said;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_THAT(read(out), HasSubstr("  \n"));
  struct stat st {};
  ::stat(out.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(BatchOutputFile, StaleTemporaryFilesOfAKilledSaveAreRemoved) {
  // A process id that no process has: the largest pid_max allows is 4194304.
  const fs::path stale = dir / ".tavrel6-4194305-abcdef.tmp";
  std::ofstream(stale) << "half a res";
  ASSERT_EQ(run({"--data", kFaults + "good.txt", "--save", (dir / "s.txt").string()}), 0) << said;
  EXPECT_FALSE(fs::exists(stale));
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_EQ(e.path().filename().string().rfind(".tavrel6-", 0), std::string::npos) << e.path();
}

// The iterated run that stops at its pass limit still writes its results, and says so by its
// exit status.
TEST_F(BatchOutputFile, IteratedRunAtItsPassLimitExitsWithThree) {
  routines.iterated_bending = [](const Matrix& x, const CurveProtocol& p, IterationObserver& o) {
    o.pass_measured(1, 100);
    o.not_converged("Failure to converge after 100 iterations");
    return distance_consensus(x, p);
  };
  const fs::path protocol = dir / "p.txt";
  const int status = run({"--data", kFaults + "good.txt", "--protocol", protocol.string(),
                          "--iterate", "--save", (dir / "s.txt").string()});
  EXPECT_EQ(status, kBatchNotConverged) << said;
  EXPECT_TRUE(fs::exists(dir / "s.txt"));
  EXPECT_THAT(said, HasSubstr("100 passes, stopped at the pass limit without converging"));
}

}  // namespace
}  // namespace tav::test
