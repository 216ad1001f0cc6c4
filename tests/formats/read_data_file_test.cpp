// Sample files read by read_data_file: where the rows end, and the refusals naming file and line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "formats/files.h"
#include "formats_fixture.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

struct EndCase {
  const char* name;
  const char* text;
  Index rows;
  long unread;
};

class ReadDataFileEndRule : public FormatsTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(ReadDataFileEndRule, StopsAtTheFirstOneCharacterLineAfterTheFirst) {
  const DataFile r = read_data_file(file("d.txt", GetParam().text));
  EXPECT_EQ(r.x.rows(), GetParam().rows);
  EXPECT_EQ(r.unread_lines, GetParam().unread);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadDataFileEndRule,
    ::testing::Values(EndCase{"no_end_line", "1 2 3\n4 5 6\n", 2, 0},
                      EndCase{"last_line_without_line_end", "1 2 3\n4 5 6", 2, 0},
                      EndCase{"empty_line_ends_the_file", "1 2 3\n4 5 6\n\n7 8 9\n1 1 1\n", 2, 2},
                      EndCase{"single_character_last_line_dropped", "1 2 3\n4 5 6\n7", 2, 0},
                      EndCase{"crlf_lines_read_whole", "1 2 3\r\n4 5 6\r\n", 2, 0},
                      EndCase{"lone_line_feed_after_crlf_lines", "1 2 3\r\n\n7 8 9\r\n", 1, 1},
                      EndCase{"empty_crlf_line_ends_the_file", "1 2 3\r\n4 5 6\r\n\r\n7 8 9\r\n", 2,
                              1},
                      EndCase{"crlf_file_ending_in_an_empty_line", "1 2 3\r\n4 5 6\r\n\r\n", 2, 0},
                      EndCase{"old_mac_cr_lines", "1 2 3\r4 5 6\r7 8 9\r", 3, 0},
                      EndCase{"old_mac_empty_line", "1 2 3\r\r7 8 9\r", 1, 1},
                      EndCase{"byte_order_mark_skipped",
                              "\xEF\xBB\xBF"
                              "1 2 3\n4 5 6\n",
                              2, 0}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FormatsTest, ReadDataFileReadsTheFirstLineWhateverItsLength) {
  const DataFile r = read_data_file(file("one.txt", "7\n8\n"));
  EXPECT_EQ(r.x, rows({{7}}));  // the second line is one character: the end line
}

TEST_F(FormatsTest, ReadDataFileRefusesRaggedRowsAndTextNamingFileAndLine) {
  const std::string ragged = file("ragged.txt", "1 2 3\n4 5\n");
  try {
    read_data_file(ragged);
    FAIL();
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr(ragged + ", line 2: 2 numbers where line 1 has 3"));
  }
  const std::string words = file("words.txt", "1 2 3\n4 five 6\n");
  EXPECT_THROW(read_data_file(words), Error);
  try {
    read_data_file(words);
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("line 2: value 2 \"five\" is not a number"));
  }
}

TEST_F(FormatsTest, ReadDataFileOfAMissingFileSaysSo) {
  EXPECT_THAT([&] { read_data_file((dir / "absent.txt").string()); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("absent.txt")));
}

}  // namespace
}  // namespace tav::test
