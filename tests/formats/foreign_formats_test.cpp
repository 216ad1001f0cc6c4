// Landmark files of other programs, read and written without a session: a file's kind told by
// its first lines, every written format read back to the digits written, and one rule for what
// a number is in every reader.
#include <charconv>
#include <gtest/gtest.h>

#include "formats/files.h"
#include "formats/foreign_text.h"
#include "formats/formats.h"
#include "formats_fixture.h"

namespace tav::test {
namespace {

struct Recognition {
  const char* name;
  const char* text;
  FileKind kind;
};

class Recognise : public FormatsTest, public ::testing::WithParamInterface<Recognition> {};

TEST_P(Recognise, ByTheFirstLinesNotTheName) {
  EXPECT_EQ(recognise_file(file("data.txt", GetParam().text)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Recognise,
    ::testing::Values(
        Recognition{"rows", "1 2 3 4 5\n", FileKind::Rows},
        Recognition{"rows_with_commas", "1,2,3,4,5\n", FileKind::Rows},
        Recognition{"rows_starting_with_one", "1 5 16 0 2\n", FileKind::Rows},
        Recognition{"rows_of_text_without_separators", "Specimen wings\n1 2 3\n", FileKind::Rows},
        Recognition{"tps", "\nLM=2\n1 1\n2 2\n", FileKind::Tps},
        Recognition{"nts_comment_first", "\"wings\n1 2 4 0\n", FileKind::Nts},
        Recognition{"nts_dim", "1 2 4 0 dim=2\n", FileKind::Nts},
        Recognition{"nts_labels_without_dim", "1 2L 4 0\na b\n", FileKind::Nts},
        Recognition{"morphologika_after_comments",
                    "\xEF\xBB\xBF' made by hand\n\n[individuals]\n1\n", FileKind::Morphologika},
        Recognition{"morphoj_header", "ID\tx1\ty1\na\t1\t2\n", FileKind::MorphoJ},
        Recognition{"morphoj_text_label_no_header", "wing 1;1;2;3;4\n", FileKind::MorphoJ},
        // A header decides by its names: coordinates then a trailing column are rows.
        Recognition{"rows_under_a_header_commas", "x1,y1,x2,y2,specimen\n1,2,3,4,5\n",
                    FileKind::Rows},
        Recognition{"rows_under_a_header_tabs_bom_crlf",
                    "\xEF\xBB\xBFX_1\tY_1\tX_2\tY_2\tCS\r\n1\t2\t3\t4\t5\r\n", FileKind::Rows},
        // A word among numbers is a value that is not a number, not a header or a label.
        Recognition{"rows_with_na_last", "1,2,3,4,NA\n1,2,3,4,5\n", FileKind::Rows},
        // Quoted names split by commas are a spreadsheet's header, not an NTS comment.
        Recognition{"quoted_header", "\"ID\",\"x1\",\"y1\"\na,1,2\n", FileKind::MorphoJ},
        Recognition{"empty", "", FileKind::Rows}),
    [](const auto& i) { return std::string(i.param.name); });

// Numbers as the file holds them when written with `digits` significant digits.
double written(double v, int digits) {
  char buf[64];
  const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits).ptr;
  double back = 0;
  std::from_chars(buf, end, back);
  return back;
}

struct Writer {
  const char* name;
  std::string (*text)(const Matrix&, const std::vector<std::string>&, const Row&, int);
  bool keeps_centroid_size;
};

std::string nts(const Matrix& x, const std::vector<std::string>& ids, const Row&, int d) {
  return nts_text(x, ids, d);
}
std::string mgk(const Matrix& x, const std::vector<std::string>& ids, const Row& cs, int d) {
  return morphologika_text(x, ids, cs, d);
}
std::string mj(const Matrix& x, const std::vector<std::string>& ids, const Row&, int d) {
  return morphoj_text(x, ids, d);
}

class RoundTrip : public FormatsTest,
                  public ::testing::WithParamInterface<std::tuple<Writer, int>> {};

// Written with d significant digits, every coordinate reads back as the number written; the
// labels come back as ids (the specimen number for a missing one), and where the format has a
// variable the centroid size comes back as the trailing value.
TEST_P(RoundTrip, ReadsBackTheNumbersWrittenAndTheLabels) {
  const auto& [w, digits] = GetParam();
  const Matrix x = rows({{0.123456789012345, -1234.56789012345, 3e-7, 2.5, -0.1, 1e5, 9},
                         {-7.5e-12, 42, 1.0 / 3, -2.0 / 3, 5, 6, 11}});
  const Row cs = row({12.345678901234, 0.5});
  const std::vector<std::string> ids{"wing 7", ""};
  const std::string path = file("out.txt", w.text(x, ids, cs, digits));
  const DataFile back = read_data_file(path);
  ASSERT_EQ(back.x.rows(), 2);
  ASSERT_EQ(back.x.cols(), 7);
  for (Index i = 0; i < 2; ++i)
    for (Index c = 0; c < 6; ++c)
      EXPECT_EQ(back.x(i, c), written(x(i, c), digits)) << i << "," << c;
  const std::string first = std::string(w.name) == "nts" ? "wing_7" : "wing 7";
  EXPECT_EQ(back.specimen_ids, (std::vector<std::string>{first, "2"}));
  for (Index i = 0; i < 2; ++i) {
    const double want =
        w.keeps_centroid_size ? written(cs(i), digits) : foreign::centroid_sizes(back.x)(i);
    EXPECT_EQ(back.x(i, 6), want);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip,
                         ::testing::Combine(::testing::Values(Writer{"nts", nts, false},
                                                              Writer{"morphologika", mgk, true},
                                                              Writer{"morphoj", mj, false}),
                                            ::testing::Values(3, 10, 17)),
                         [](const auto& i) {
                           return std::string(std::get<0>(i.param).name) + "_" +
                                  std::to_string(std::get<1>(i.param));
                         });

// One rule for what a number is, in every reader: a magnitude too small for a double (1e-400)
// reads as 0, as it did in rows and TPS while NTS, Morphologika and MorphoJ refused it.
TEST_F(FormatsTest, ANumberTooSmallForADoubleReadsAsZeroInEveryFormat) {
  const std::pair<const char*, const char*> files[] = {
      {"tiny_rows.txt", "1e-400 0 3 0 3 4 7\n"},
      {"tiny.tps", "LM=3\n1e-400 0\n3 0\n3 4\nID=s1\n"},
      {"tiny.nts", "1 1L 6 0 DIM=2\ns1\n1e-400 0 3 0 3 4\n"},
      {"tiny_morphologika.txt",
       "[individuals]\n1\n[landmarks]\n3\n[dimensions]\n2\n[rawpoints]\n1e-400 0\n3 0\n3 4\n"},
      {"tiny_morphoj.txt", "ID\tx1\ty1\tx2\ty2\tx3\ty3\ns1\t1e-400\t0\t3\t0\t3\t4\n"}};
  for (const auto& [name, text] : files) {
    SCOPED_TRACE(name);
    Matrix x;
    ASSERT_NO_THROW(x = read_data_file(file(name, text)).x);
    ASSERT_EQ(x.rows(), 1);
    EXPECT_EQ(x(0, 0), 0.0);
    EXPECT_EQ(x(0, 2), 3.0);
    EXPECT_EQ(x(0, 5), 4.0);
  }
}

}  // namespace
}  // namespace tav::test
