// The batch tool with TPS files: a suggested protocol, the processed sample back as TPS.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

#include "formats/files.h"
#include "platform/backend.h"
#include "platform/error.h"
#include "shell/batch.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;
namespace fs = std::filesystem;

const std::string wings = data_path("tps/wings.tps");  // 3 landmarks, one curve of 6 points

class BatchTps : public ::testing::Test {
 protected:
  void SetUp() override { temp.enter(); }
  // Runs the tool with the arguments (names relative to the test's folder); keeps its errors.
  int run(const std::vector<std::string>& args) {
    std::ostringstream err;
    const int status = run_batch(parse_batch_options(args), err);
    errors = err.str();
    return status;
  }
  static Matrix coordinates(const Matrix& x) { return x.leftCols(x.cols() - 1); }

  TempDir temp;  // the test's own folder
  const fs::path dir = temp.path();
  std::string errors;
};

// The two commands of the user's guide: suggest a protocol, then run with it and write TPS.
TEST_F(BatchTps, SuggestedProtocolRunsAndTheTpsResultReadsBackAsTheRowsResult) {
  ASSERT_EQ(run({"--data", wings, "--suggest-protocol", "protocol.txt"}), 0) << errors;
  const Matrix p = read_data_file("protocol.txt").x;
  ASSERT_EQ(p.rows(), 9);
  for (Index r = 0; r < p.rows(); ++r) {
    const bool landmark = r < 3;
    EXPECT_EQ(p.row(r),
              row({landmark ? 0.0 : 1.0, 0, static_cast<double>(r + 1), landmark ? 0.0 : 1.0}));
  }

  ASSERT_EQ(run({"--data", wings, "--protocol", "protocol.txt", "--save-tps", "out.tps", "--save",
                 "out.txt", "--digits", "8"}),
            0)
      << errors;
  const DataFile tps = read_data_file("out.tps"), rows = read_data_file("out.txt");
  ASSERT_TRUE(tps.tps);
  EXPECT_EQ(coordinates(tps.x),
            coordinates(rows.x));  // the same numbers, written with the same digits
  EXPECT_EQ(tps.specimen_ids, (std::vector<std::string>{"w1", "w2", "w3", "w4", "5"}));
}

struct DigitsCase {
  const char* name;
  std::vector<std::string> option;
  int digits;
};

class BatchTpsDigits : public BatchTps, public ::testing::WithParamInterface<DigitsCase> {};

TEST_P(BatchTpsDigits, CoordinatesReadBackToTheDigitsWritten) {
  ASSERT_EQ(run({"--data", wings, "--save", "exact.txt", "--digits", "17"}), 0) << errors;
  std::vector<std::string> args{"--data", wings, "--save-tps", "out.tps"};
  args.insert(args.end(), GetParam().option.begin(), GetParam().option.end());
  ASSERT_EQ(run(args), 0) << errors;
  const Matrix exact = coordinates(read_data_file("exact.txt").x),
               back = coordinates(read_data_file("out.tps").x);
  ASSERT_EQ(back.rows(), exact.rows());
  ASSERT_EQ(back.cols(), exact.cols());
  for (Index i = 0; i < exact.rows(); ++i)
    for (Index c = 0; c < exact.cols(); ++c) {
      const double v = exact(i, c);
      const double unit =
          std::pow(10.0, std::floor(std::log10(std::fabs(v))) - GetParam().digits + 1);
      EXPECT_LE(std::fabs(back(i, c) - v), 0.5 * unit * (1 + 1e-9)) << v;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BatchTpsDigits,
                         ::testing::Values(DigitsCase{"ten_by_default", {}, 10},
                                           DigitsCase{"as_asked", {"--digits", "4"}, 4}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST_F(BatchTps, SuggestProtocolRefusesRowsDataAndTheRunsOwnProtocol) {
  EXPECT_EQ(run({"--data", data_path("tps/curves_rows.txt"), "--suggest-protocol", "p.txt"}), 1);
  EXPECT_THAT(errors, HasSubstr("not a TPS file"));
  EXPECT_FALSE(fs::exists("p.txt"));
  try {
    parse_batch_options({"--data", wings, "--protocol", "p.txt", "--suggest-protocol", "./p.txt"});
    FAIL();
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("would overwrite the --protocol file"));
  }
}

// Loading moves the current folder to the data's folder; the other names still count from the
// folder the tool was started in.
TEST_F(BatchTps, NamesAreTakenFromTheStartingFolder) {
  fs::create_directories("sub");
  fs::copy_file(wings, "sub/wings.tps");
  {  // the first specimen: a user reference is one configuration
    std::ifstream in(wings);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    std::ofstream("reference.tps") << text.substr(0, text.find("LM=", 1));
  }
  ASSERT_EQ(
      run({"--data", "sub/wings.tps", "--reference", "reference.tps", "--save-tps", "out.tps"}), 0)
      << errors;
  EXPECT_TRUE(fs::exists(dir / "out.tps"));
  EXPECT_FALSE(fs::exists(dir / "sub" / "out.tps"));
}

}  // namespace
}  // namespace tav::test
