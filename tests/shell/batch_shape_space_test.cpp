// The batch tool's shape-space tables, read back by a CSV reader: the numbers the engine
// computed, with --digits significant digits, under the rules of every other output.
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

#include "engine/engine.h"
#include "engine/session.h"
#include "platform/console.h"
#include "shell/batch.h"
#include "support/test_support.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

const std::string kExamples = std::string(TAV_SOURCE_DIR) + "/examples/";

// A CSV file as rows of fields: commas separate, a quoted field keeps its commas and doubled
// quotes.
std::vector<std::vector<std::string>> read_csv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"')
        fields.back() += '"', ++i;
      else if (c == '"')
        quoted = !quoted;
      else if (c == ',' && !quoted)
        fields.emplace_back();
      else
        fields.back() += c;
    }
    rows.push_back(fields);
  }
  return rows;
}

double number(const std::string& field) { return std::stod(field); }

class BatchShapeSpace : public ::testing::Test {
 protected:
  int run(std::vector<std::string> args) {
    std::ostringstream err;
    session = std::make_unique<Session>();
    const int status = run_batch(parse_batch_options(args), err, *session);
    errors = err.str();
    return status;
  }
  std::string out(const char* name) { return (temp.path() / name).string(); }

  TempDir temp;
  std::string errors;
  std::unique_ptr<Session> session;
};

// The shape space of the batch run below, by the engine's own calls.
ShapeSpace engine_shape_space() {
  Session session;
  const ConsoleCapture quiet;
  load_sample(session, kExamples + "shells.txt");
  load_protocol(session, kExamples + "shells_protocol.txt");
  RunObserver listener;
  run(session, RunOptions{RunMode::bending}, listener);
  return shape_space(session);
}

// Equal to `digits` significant digits.
void expect_digits(double written, double computed, int digits) {
  EXPECT_NEAR(written, computed, std::abs(computed) * std::pow(10.0, 1 - digits) + 1e-300);
}

TEST_F(BatchShapeSpace, TheThreeTablesHoldTheEnginesNumbers) {
  for (const int digits : {0, 4}) {
    SCOPED_TRACE(digits);
    std::vector<std::string> args = {
        "--data",        kExamples + "shells.txt", "--protocol", kExamples + "shells_protocol.txt",
        "--save-scores", out("scores.csv"),        "--save-pca", out("pca.csv"),
        "--save-slides", out("slides.csv")};
    if (digits) args.insert(args.end(), {"--digits", std::to_string(digits)});
    ASSERT_EQ(run(args), 0) << errors;
    const int shown = digits ? digits : 10;
    const ShapeSpace s = engine_shape_space();
    const PrincipalComponents& pc = s.components;

    const auto scores = read_csv(out("scores.csv"));
    ASSERT_EQ(scores.size(), 41u);
    ASSERT_EQ(scores[0].size(), 4u + static_cast<size_t>(pc.components()));
    EXPECT_EQ(scores[0][4], "PC1");
    for (Index i = 0; i < 40; ++i) {
      const auto& r = scores[static_cast<size_t>(i + 1)];
      EXPECT_EQ(r[0], std::to_string(i + 1));  // the example's trailing values number the rows
      expect_digits(number(r[1]), s.centroid_sizes(i), shown);
      expect_digits(number(r[2]), s.distances(i), shown);
      EXPECT_EQ(r[3], s.outliers[static_cast<size_t>(i)] ? "1" : "0");
      for (Index j = 0; j < pc.components(); ++j)
        expect_digits(number(r[static_cast<size_t>(4 + j)]), pc.scores(i, j), shown);
    }

    const auto pca = read_csv(out("pca.csv"));
    ASSERT_EQ(pca.size(), 1u + static_cast<size_t>(pc.components()));
    ASSERT_EQ(pca[0].size(), 4u + 64u);
    EXPECT_EQ(pca[0][4], "x1");
    for (Index j = 0; j < pc.components(); ++j) {
      const auto& r = pca[static_cast<size_t>(j + 1)];
      EXPECT_EQ(r[0], std::to_string(j + 1));
      expect_digits(number(r[1]), pc.eigenvalues(j), shown);
      expect_digits(number(r[2]), pc.percent(j), shown);
      expect_digits(number(r[3]), pc.cumulative(j), shown);
      for (Index c = 0; c < 64; ++c)
        expect_digits(number(r[static_cast<size_t>(4 + c)]), pc.loadings(c, j), shown);
    }

    const auto slides = read_csv(out("slides.csv"));
    ASSERT_EQ(slides.size(), 33u);
    EXPECT_EQ(slides[1][2], "landmark");
    EXPECT_EQ(slides[5][1], "-1");
    EXPECT_EQ(slides[25][2], "helper");
    for (size_t p = 0; p < 32; ++p) {
      const auto& r = slides[p + 1];
      const PointSlide& point = s.slides.points[p];
      EXPECT_EQ(r[0], std::to_string(p + 1));
      expect_digits(number(r[3]), point.mean, shown);
      expect_digits(number(r[4]), point.largest, shown);
      EXPECT_EQ(r[5], point.specimen ? std::to_string(point.specimen) : "");
      EXPECT_EQ(r[6], point.flagged ? "1" : "0");
    }
  }
}

// TPS IDs name the specimens; one with a comma is quoted and reads back whole.
TEST_F(BatchShapeSpace, SpecimenIdsReadBackWhole) {
  std::string tps;
  const char* ids[] = {"a,1", "b \"x\"", "c", "d"};
  const double shapes[4][8] = {{0, 0, 1, 0, 1, 1, 0, 1},
                               {0, 0, 1.1, 0, 1, 1, 0, 0.9},
                               {0, 0, 1, 0.1, 1, 1, 0, 1},
                               {0, 0.1, 1, 0, 1.2, 1, 0, 1}};
  for (int i = 0; i < 4; ++i) {
    tps += "LM=4\n";
    for (int p = 0; p < 4; ++p)
      tps += std::to_string(shapes[i][2 * p]) + " " + std::to_string(shapes[i][2 * p + 1]) + "\n";
    tps += std::string("ID=") + ids[i] + "\n";
  }
  std::ofstream(out("s.tps")) << tps;
  ASSERT_EQ(run({"--data", out("s.tps"), "--save-scores", out("scores.csv")}), 0) << errors;
  const auto rows = read_csv(out("scores.csv"));
  ASSERT_EQ(rows.size(), 5u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(rows[i + 1][0], ids[i]);
}

TEST_F(BatchShapeSpace, ATableIsNeverWrittenOntoAnInputOrAnotherOutput) {
  const std::string data = kExamples + "shells.txt";
  EXPECT_THAT(
      [&] {
        parse_batch_options({"--data", data, "--save-pca", data});
      },
      ::testing::ThrowsMessage<Error>(HasSubstr("--save-pca")));
  EXPECT_THAT(
      [&] {
        parse_batch_options(
            {"--data", data, "--save", out("x.csv"), "--save-slides", out("x.csv")});
      },
      ::testing::ThrowsMessage<Error>(HasSubstr("--save-slides")));
  EXPECT_THROW(parse_batch_options(
                   {"--data", data, "--save-scores", out("a.csv"), "--save-scores", out("b.csv")}),
               Error);
}

// The picture of the shape space: written for components that exist, refused whole otherwise.
TEST_F(BatchShapeSpace, ThePictureNamesTwoComponentsThatExist) {
  const std::vector<std::string> base = {"--data", kExamples + "shells.txt", "--protocol",
                                         kExamples + "shells_protocol.txt"};
  std::vector<std::string> args = base;
  args.insert(args.end(), {"--plot-shape-space", out("s.svg"), "--pcs", "2,3"});
  ASSERT_EQ(run(args), 0) << errors;
  std::ifstream svg(out("s.svg"));
  const std::string text((std::istreambuf_iterator<char>(svg)), {});
  EXPECT_THAT(text, HasSubstr("<svg"));
  EXPECT_TRUE(session->objects().children(0).empty());  // drawn for the export alone
  args = base;
  args.insert(args.end(), {"--plot-shape-space", out("t.svg"), "--pcs", "1,99"});
  EXPECT_EQ(run(args), 1);
  EXPECT_THAT(errors, HasSubstr("--pcs must name two of them"));
  EXPECT_FALSE(std::filesystem::exists(out("t.svg")));
  for (const char* bad : {"1", "2,2", "0,1", "a,b", "1,2,3", ""})
    EXPECT_THAT(
        [&] {
          parse_batch_options({"--data", base[1], "--pcs", bad});
        },
        ::testing::ThrowsMessage<Error>(HasSubstr("--pcs needs two different")))
        << bad;
  EXPECT_EQ(parse_batch_options({"--data", base[1]}).pcs, (std::pair<int, int>{1, 2}));
}

}  // namespace
}  // namespace tav::test
