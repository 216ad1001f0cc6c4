#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine_fixture.h"
#include "formats/files.h"

namespace tav::test {
namespace {
using ::testing::HasSubstr;

struct Layout {
  const char* action;
  const char* title;
  const char* bytes;
};

class SaveLayout : public EngineTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(SaveLayout, WritesTheExactBytesUnderItsTitle) {
  EngineState& s = engine_state();
  s.sample = rows({{0.1, -0.2, 0.3, 0.4, 7}, {1, 2, 3e-7, 4, 8}});
  set_kinds(s.protocol, row({0, 2}));
  s.reference = rows({{0.5, 0.25, -0.5, 1234567, 9}});
  const std::string path = (dir / "out.txt").string();
  act(GetParam().action, path);
  EXPECT_EQ(backend.titles.back(), GetParam().title);
  EXPECT_EQ(read(path), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SaveLayout,
    ::testing::Values(
        Layout{"Save", "File Name for Procrustes Coordinates",
               "0.1 -0.2 0.3 0.4 7  \n1 2 3e-07 4 8  \n"},
        Layout{"SaveLMSLM", "File Name for Landmarks+Semilandmarks", " 0.1  -0.2 7 \n 1  2 8 \n"},
        Layout{"SaveLM", "File Name for Landmarks Only", " 0.1  -0.2  7 \n 1  2  8 \n"},
        Layout{"SaveReference", "File Name for Reference (All points)",
               "0.5 0.25 -0.5 1.23457e+06 9  \n"},
        Layout{"SaveReferenceLMSLM", "File Name for Reference (LM and Semi-LM) ",
               " 0.5  0.25  1 \n"},
        Layout{"SaveReferenceLM", "File Name for Reference (LM only) ", " 0.5  0.25  1 \n"}),
    [](const auto& i) { return std::string(i.param.action); });

TEST_F(EngineTest, SavedSamplesLoadBackToSixSignificantDigits) {
  EngineState& s = engine_state();
  s.sample = rows({{0.123456789, -2.5, 3.25, 1e-3, 1.0 / 3, 0.75, 11}, {1, 2, 3, 4, 5, 6, 12}});
  set_kinds(s.protocol, row({0, 1, 0}));
  struct Case {
    const char* action;
    std::vector<Index> columns;  // the columns of DATA the file holds, trailing value last
  };
  for (const Case& c :
       {Case{"Save", {0, 1, 2, 3, 4, 5, 6}}, Case{"SaveLMSLM", {0, 1, 2, 3, 4, 5, 6}},
        Case{"SaveLM", {0, 1, 4, 5, 6}}}) {
    const std::string path = (dir / (std::string(c.action) + ".txt")).string();
    act(c.action, path);
    const Matrix back = read_data_file(path).x;
    ASSERT_EQ(back.cols(), static_cast<Index>(c.columns.size())) << c.action;
    for (Index i = 0; i < 2; ++i)
      for (size_t j = 0; j < c.columns.size(); ++j) {
        const double want = s.sample(i, c.columns[j]);
        EXPECT_NEAR(back(i, static_cast<Index>(j)), want, 5e-6 * std::abs(want)) << c.action;
      }
  }
}

TEST_F(EngineTest, CancelledSaveWritesNothing) {
  engine_state().sample = rows({{1, 2, 3}});
  backend.cancel();
  run_action(Value("Save"));
  EXPECT_TRUE(std::filesystem::is_empty(dir));
}

TEST_F(EngineTest, SelectionNeedingMoreTypesThanTheProtocolGaveIsRefused) {
  engine_state().sample = rows({{1, 2, 3, 4, 5, 6, 7}});
  set_kinds(engine_state().protocol, row({0, 1}));
  const std::string path = file("keep.txt", "earlier results\n");
  act("SaveLM", path);
  EXPECT_EQ(read(path), "earlier results\n");
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("the protocol does not match the data"));
}

TEST_F(EngineTest, UnwritableFolderLeavesEarlierFileAndSaysWhich) {
  if (::geteuid() == 0) {
    // root writes everywhere: a missing folder stands in for an unwritable one.
    engine_state().sample = rows({{1, 2, 3}});
    act("Save", (dir / "no_such_folder" / "out.txt").string());
  } else {
    const std::string path = file("keep.txt", "earlier\n");
    ::chmod(dir.c_str(), 0555);
    engine_state().sample = rows({{1, 2, 3}});
    act("Save", path);
    ::chmod(dir.c_str(), 0755);
    EXPECT_EQ(read(path), "earlier\n");
  }
  ASSERT_EQ(backend.messages.size(), 1u);
  EXPECT_THAT(backend.messages[0], HasSubstr("cannot write"));
  EXPECT_THAT(backend.messages[0], HasSubstr("out.txt"));
}

// A text made piece by piece that fails half way leaves no half-written file behind: the
// earlier file stays and no temporary remains.
TEST_F(EngineTest, TextThatFailsHalfWayLeavesTheEarlierFile) {
  const std::string path = file("keep.txt", "earlier\n");
  EXPECT_THROW(write_file_atomically(path,
                                     [](const TextSink& put) {
                                       put("1 2 3\n");
                                       throw Error("row 2 cannot be written");
                                     }),
               Error);
  EXPECT_EQ(read(path), "earlier\n");
  for (const auto& e : std::filesystem::directory_iterator(dir))
    EXPECT_EQ(e.path().filename(), "keep.txt");
  write_file_atomically(path, [](const TextSink& put) {
    for (const char* piece : {"1 2 ", "3\n", "", "4 5 6\n"}) put(piece);
  });
  EXPECT_EQ(read(path), "1 2 3\n4 5 6\n");
}

TEST_F(EngineTest, ClearForgetsDataProtocolAndReference) {
  EngineState& s = engine_state();
  s.sample = rows({{1, 2, 3}});
  s.protocol.rows = rows({{0, 0, 1, 0}});
  s.reference = rows({{4, 5, 6}});
  run_action(Value("Clear"));
  EXPECT_EQ(s.sample.size(), 0);
  EXPECT_EQ(s.protocol.rows.size(), 0);
  EXPECT_EQ(status("FileBox"), "No File Active");
  EXPECT_EQ(status("ProtoBox"), "No Protocol Loaded");
  EXPECT_EQ(s.reference.size(), 0);
  const std::string path = (dir / "ref.txt").string();
  act("SaveReference", path);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_THAT(refusal(), HasSubstr("There is nothing to save"));
}

}  // namespace
}  // namespace tav::test
