// The batch tool on the bundled example: every step's outcome reaches the exit status.
#include "shell/batch.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>

#include "consensus/varied_samples.h"
#include "display/display.h"
#include "formats/files.h"
#include "geometry/geometry.h"
#include "platform/backend.h"
#include "platform/format.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;
namespace fs = std::filesystem;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

class Batch : public ::testing::Test {
 protected:
  int run(std::vector<std::string> args) {
    std::ostringstream err;
    session = std::make_unique<Session>();
    const int status = run_batch(parse_batch_options(args), err, *session);
    errors = err.str();
    return status;
  }
  std::string out(const char* name) { return (dir / name).string(); }

  TempDir temp;  // the test's own folder
  const fs::path dir = temp.path();
  std::string errors;
  std::unique_ptr<Session> session;  // the last run's
};

TEST_F(Batch, WritesEverySelectionAndThePicture) {
  ASSERT_EQ(
      run({"--data", kExamples + "shells.txt", "--protocol", kExamples + "shells_protocol.txt",
           "--distance", "--save", out("all.txt"), "--save-lm", out("lm.txt"),
           "--save-reference-lmslm", out("ref.txt"), "--plot", out("p.svg")}),
      0)
      << errors;
  EXPECT_EQ(read_data_file(out("all.txt")).x.cols(), 65);
  EXPECT_EQ(read_data_file(out("lm.txt")).x.cols(), 9);  // 4 landmarks and the trailing value
  EXPECT_EQ(read_data_file(out("ref.txt")).x.cols(), 2 * 30 + 1);  // helpers left out
  EXPECT_GT(fs::file_size(out("p.svg")), 1000u);
}

// An iterated run whose change stops shrinking above the tolerance (sand grains: a closed
// outline without a landmark) writes the results of the pass it kept, says so, and exits with
// 3: the tolerance was not reached.
TEST_F(Batch, AnIteratedRunThatSettlesAboveItsToleranceExitsWithThree) {
  write_file_atomically(out("grains.txt"), rows_text(grain_sample(30, 50, 0.3, 0.3, 5)));
  write_file_atomically(out("protocol.txt"), protocol_rows(grain_protocol(50)));
  EXPECT_EQ(run({"--data", out("grains.txt"), "--protocol", out("protocol.txt"), "--iterate",
                 "--save", out("s.txt")}),
            kBatchNotConverged)
      << errors;
  EXPECT_THAT(errors, HasSubstr("the consensus settled at pass "));
  EXPECT_THAT(errors, HasSubstr("passes, settled above the tolerance 1e-5 (an earlier pass kept)"));
  EXPECT_EQ(read_data_file(out("s.txt")).x.rows(), 30);
}

// The batch tool builds no figure: the picture of --plot is drawn for the export alone, and
// nothing of it is left in the session afterwards.
TEST_F(Batch, NoFigureIsBuiltAndThePictureIsDrawnForTheExportAlone) {
  const std::vector<std::string> args = {"--data",     kExamples + "shells.txt",
                                         "--protocol", kExamples + "shells_protocol.txt",
                                         "--save",     out("all.txt")};
  ASSERT_EQ(run(args), 0) << errors;
  EXPECT_TRUE(session->objects().children(0).empty());
  std::vector<std::string> with_plot = args;
  with_plot.insert(with_plot.end(), {"--plot", out("p.svg")});
  ASSERT_EQ(run(with_plot), 0) << errors;
  EXPECT_TRUE(session->objects().children(0).empty());
  std::ifstream svg(out("p.svg"));
  const std::string text((std::istreambuf_iterator<char>(svg)), {});
  EXPECT_THAT(text, HasSubstr("<svg"));
  EXPECT_GT(text.size(), 10000u);  // the sample's markers and the curves
}

TEST_F(Batch, WithoutAProtocolThePlainConsensusTreatsEveryPointAsALandmark) {
  ASSERT_EQ(run({"--data", kExamples + "shells.txt", "--save-lm", out("lm.txt"), "--digits", "12"}),
            0)
      << errors;
  const Matrix x = read_data_file(out("lm.txt")).x;
  EXPECT_EQ(x.cols(), 65);
  EXPECT_NEAR(x.row(0).head(64).squaredNorm(), 1.0, 1e-10);  // twelve digits written
  EXPECT_EQ(session->digits, 6);                             // and put back afterwards
}

// What a researcher checks in the saved files (17 digits): in every mode that computes its
// own consensus, the consensus is the mean of the saved superimposed sample; after a slide
// each saved specimen is also its own least-squares fit onto that consensus (the plain
// consensus stops by its own rule, one pass short of that).
TEST_F(Batch, TheSavedConsensusIsTheMeanOfTheSavedSampleInEverySlidingMode) {
  for (const char* mode : {"--distance", "--iterate", "--no-align", ""}) {
    std::vector<std::string> args = {"--data",           kExamples + "shells.txt",
                                     "--protocol",       kExamples + "shells_protocol.txt",
                                     "--save",           out("all.txt"),
                                     "--save-reference", out("ref.txt"),
                                     "--digits",         "17"};
    if (*mode) args.push_back(mode);
    ASSERT_EQ(run(args), 0) << mode << ": " << errors;
    const Matrix x = read_data_file(out("all.txt")).x;
    const Matrix y = read_data_file(out("ref.txt")).x;
    const Index coords = x.cols() - 1;
    Row mean = x.leftCols(coords).colwise().mean();
    mean /= mean.norm();
    const Row consensus = y.row(0).head(coords) / y.row(0).head(coords).norm();
    EXPECT_LT((mean - consensus).norm(), 1e-9) << mode;
    if (std::string(mode) != "--no-align") {
      EXPECT_LT((fit_onto(x, y) - x).leftCols(coords).cwiseAbs().maxCoeff(), 1e-9) << mode;
    }
  }
}

TEST_F(Batch, AFailedStepEndsWithStatusOneAndTheReason) {
  EXPECT_EQ(run({"--data", out("absent.txt"), "--save", out("s.txt")}), 1);
  EXPECT_THAT(errors, HasSubstr("absent.txt"));
  EXPECT_FALSE(fs::exists(out("s.txt")));
  EXPECT_EQ(run({"--data", kExamples + "shells.txt", "--protocol", kExamples + "shells.txt"}), 1);
  EXPECT_THAT(errors, HasSubstr("--protocol " + kExamples + "shells.txt: "));
}

TEST_F(Batch, BadArgumentsAreRefusedWithAHint) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                               {"--data"},
                                               {"--data", "x", "--digits", "0"},
                                               {"--data", "x", "--bogus"}}) {
    try {
      parse_batch_options(args);
      ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr("--"));
    }
  }
  EXPECT_TRUE(parse_batch_options({"--help"}).help);
  EXPECT_THAT(batch_usage(), HasSubstr("--save-reference-lm F"));
}

// Every option that names a file, as the help text lists it ("--save F", "--data FILE"), given
// an empty name (an unset shell variable) is a usage error naming the option, not an option
// left out.
TEST(BatchOptions, AnEmptyFileNameIsRefusedNamingTheOption) {
  const std::string usage = batch_usage();
  static const std::regex file_option(R"((--[a-z-]+) (F|FILE)\b)");
  std::set<std::string> options;
  for (auto it = std::sregex_iterator(usage.begin(), usage.end(), file_option);
       it != std::sregex_iterator(); ++it)
    options.insert((*it)[1]);
  EXPECT_GE(options.size(), 16u);
  for (const std::string& o : options) {
    // What a run needs besides, named; then o with an empty name.
    std::vector<std::string> args;
    for (const char* needed : {"--data", "--protocol"})
      if (o != needed) args.insert(args.end(), {needed, "d.txt"});
    args.insert(args.end(), {o, ""});
    EXPECT_THAT([&] { parse_batch_options(args); },
                ::testing::ThrowsMessage<Error>(
                    AllOf(HasSubstr("option " + o + " was given an empty file name"),
                          HasSubstr("nothing was read or written"))))
        << o;
  }
}

}  // namespace
}  // namespace tav::test
