// The batch tool between other programs' files: an NTS sample in, the results out as NTS,
// Morphologika and MorphoJ text; a protocol out as a sliders table.
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

const std::string examples = std::string(TAV_SOURCE_DIR) + "/examples/";

class BatchFormats : public ::testing::Test {
 protected:
  void SetUp() override { temp.enter(); }
  int run(const std::vector<std::string>& args) {
    std::ostringstream err;
    const int status = run_batch(parse_batch_options(args), err);
    errors = err.str();
    return status;
  }
  static std::string text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TempDir temp;  // the test's own folder
  const fs::path dir = temp.path();
  std::string errors;
};

// Every format holds the superimposed coordinates the rows file holds, written with the same
// digits, and the labels read from the NTS file.
TEST_F(BatchFormats, ResultsInEveryFormatReadBackAsTheRowsResult) {
  ASSERT_EQ(run({"--data", data_path("formats/twin.nts"), "--save", "rows.txt", "--save-nts",
                 "out.nts", "--save-morphologika", "out_morphologika.txt", "--save-morphoj",
                 "out_morphoj.txt", "--digits", "9"}),
            0)
      << errors;
  const Matrix rows_result = read_data_file("rows.txt").x;
  for (const char* f : {"out.nts", "out_morphologika.txt", "out_morphoj.txt"}) {
    const DataFile back = read_data_file(f);
    EXPECT_EQ(back.x.leftCols(10), rows_result.leftCols(10)) << f;
    EXPECT_EQ(back.specimen_ids, (std::vector<std::string>{"shell_a", "shell_b", "shell_c"})) << f;
  }
  // The original centroid sizes travel as Morphologika's CentroidSize label.
  EXPECT_EQ(read_data_file("out_morphologika.txt").x.col(10), rows_result.col(10));
  EXPECT_EQ(rows_result.col(10), (Eigen::VectorXd(3) << 5, 10, 5).finished());
}

struct Summary {
  const char* name;
  const char* file;  // under tests/data
  const char* says;  // what the summary line says after the file's name
};

class BatchSummary : public BatchFormats, public ::testing::WithParamInterface<Summary> {};

TEST_P(BatchSummary, NamesTheFormatTheDataWereReadIn) {
  ASSERT_EQ(run({"--data", data_path(GetParam().file)}), 0) << errors;
  EXPECT_THAT(errors, HasSubstr(GetParam().file + std::string(" ") + GetParam().says + "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BatchSummary,
    ::testing::Values(
        Summary{"rows", "formats/twin_rows.txt", "as numeric rows: 3 specimens, 5 points"},
        Summary{"rows_under_a_header", "formats/twin_rows_header.csv",
                "as numeric rows (header line 1 skipped): 3 specimens, 5 points"},
        Summary{"nts", "formats/twin.nts", "as NTS: 3 specimens, 5 points"},
        Summary{"morphologika", "formats/twin_morphologika.txt",
                "as Morphologika: 3 specimens, 5 points"},
        Summary{"morphoj", "formats/twin_morphoj.txt", "as MorphoJ text: 3 specimens, 5 points"},
        Summary{"tps", "tps/wings.tps", "as TPS: 5 specimens, 9 points"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(BatchFormats, ReferenceSummaryNamesItsFormat) {
  std::ofstream("reference.txt") << "0 0 3 0 3 4 0 4 1.5 2 1\n";
  ASSERT_EQ(run({"--data", data_path("formats/twin_rows.txt"), "--reference", "reference.txt"}), 0)
      << errors;
  EXPECT_THAT(errors,
              HasSubstr("reference.txt as numeric rows: 1 reference configuration, 5 points\n"));
}

// A spreadsheet's export of the row layout with a line of column names gives the results of the
// rows without it; with NA as line 1's trailing value the file is refused at that line.
TEST_F(BatchFormats, RowsUnderAHeaderGiveTheResultsOfTheRowsAndNaIsRefusedAtItsLine) {
  ASSERT_EQ(run({"--data", data_path("formats/twin_rows_header.csv"), "--save", "a.txt"}), 0)
      << errors;
  ASSERT_EQ(run({"--data", data_path("formats/twin_rows.txt"), "--save", "b.txt"}), 0) << errors;
  EXPECT_EQ(text("a.txt"), text("b.txt"));
  EXPECT_EQ(run({"--data", data_path("formats/twin_rows_na.csv"), "--save", "c.txt"}), 1);
  EXPECT_THAT(errors, HasSubstr("twin_rows_na.csv, line 1: value 11 \"NA\" is not a number"));
  EXPECT_FALSE(fs::exists("c.txt"));
}

TEST_F(BatchFormats, ProtocolWrittenAsSlidersTableRunsToTheSameConsensus) {
  ASSERT_EQ(run({"--data", examples + "shells.txt", "--protocol", examples + "shells_protocol.txt",
                 "--save-protocol-sliders", "sliders.csv", "--save-reference", "a.txt"}),
            0)
      << errors;
  EXPECT_EQ(text("sliders.csv"), text(examples + "shells_sliders.csv"));
  ASSERT_EQ(run({"--data", examples + "shells.txt", "--protocol", "sliders.csv", "--save-reference",
                 "b.txt"}),
            0)
      << errors;
  EXPECT_EQ(text("a.txt"), text("b.txt"));
}

// A table says less than a protocol: a curve through a landmark is written all the same (it is
// what other tools read), and the user is told that read back it is two curves.
TEST_F(BatchFormats, SlidersTableOfACurveThroughALandmarkIsWrittenWithAWarning) {
  ASSERT_EQ(run({"--data", examples + "shells.txt", "--protocol",
                 data_path("formats/landmark_inside_curve_protocol.txt"), "--save-protocol-sliders",
                 "s.csv", "--quiet"}),
            0)
      << errors;
  EXPECT_THAT(errors, HasSubstr("warning: --save-protocol-sliders s.csv: curve 1 runs through "
                                "landmark 3 inside it"));
  EXPECT_THAT(text("s.csv"), HasSubstr("26,27,3\n3,28,29\n"));
}

TEST_F(BatchFormats, SlidersTableNeedsAProtocol) {
  EXPECT_THAT(
      [] {
        parse_batch_options({"--data", "d.txt", "--save-protocol-sliders", "s.csv"});
      },
      ::testing::ThrowsMessage<Error>(HasSubstr("--save-protocol-sliders needs --protocol")));
}

}  // namespace
}  // namespace tav::test
