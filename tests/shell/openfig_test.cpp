#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/backend.h"
#include "shell/framework.h"
#include "support/test_support.h"

namespace tav {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const char* const kToken = "window_small_SINGLETON_handle";

class Openfig : public ::testing::Test {
 protected:
  void SetUp() override { runtime.backend = &backend; }
  // A copy of the small window's file under another name.
  std::string copy_as(const std::string& name) {
    const fs::path to = dir / name;
    fs::copy_file(test::data_path("window_small.fig"), to, fs::copy_options::overwrite_existing);
    return to.string();
  }
  Value registry(const std::string& token = kToken) { return gr().appdata(0, token); }

  ScriptedBackend backend;
  Runtime runtime;  // the test's own graphics objects, served by `backend`
  Runtime& rt() { return runtime; }
  Objects& gr() { return runtime.objects; }
  test::TempDir temp;  // the test's own folder
  const fs::path dir = temp.path();
  const std::string small = test::data_path("window_small.fig");
};

TEST_F(Openfig, ReuseTwiceLoadsOnceAndGivesTheSameWindow) {
  const Handle first = openfig(rt(), small, "reuse");
  const Handle second = openfig(rt(), small, "reuse");
  EXPECT_EQ(first, second);
  EXPECT_EQ(gr().figures().size(), 1u);
  EXPECT_EQ(registry(), Value(row({first})));
}

TEST_F(Openfig, NewMakesAnotherWindowEachTimeAndReuseGivesTheNewest) {
  const Handle older = openfig(rt(), small);
  const Handle newer = openfig(rt(), small, "new");
  EXPECT_NE(older, newer);
  EXPECT_EQ(registry(), Value(row({older, newer})));
  EXPECT_EQ(openfig(rt(), small, "reuse"), newer);
  EXPECT_EQ(gr().figures().size(), 2u);
}

TEST_F(Openfig, ClosingTheOnlyWindowMakesReuseLoadTheFileAgain) {
  const Handle first = openfig(rt(), small, "reuse");
  gr().remove(first);
  const Handle again = openfig(rt(), small, "reuse");
  ASSERT_TRUE(gr().valid(again));
  EXPECT_EQ(gr().find_by_tag("FileBox").size(), 1u);
  EXPECT_EQ(registry(), Value(row({again})));
}

TEST_F(Openfig, AClosedWindowsNumberTakenByAnotherFigureIsNotReused) {
  const Handle first = openfig(rt(), small, "reuse");
  gr().remove(first);
  const Handle stranger = gr().figure(static_cast<int>(first));  // same number, not from the file
  const Handle opened = openfig(rt(), small, "reuse");
  EXPECT_NE(opened, stranger);
  EXPECT_EQ(gr().find_by_tag("IterBox").size(), 1u);
}

TEST_F(Openfig, NameWithoutExtensionOpensTheFigFile) {
  const std::string path = copy_as("plain.fig");
  const Handle fig = openfig(rt(), path.substr(0, path.size() - 4));
  EXPECT_EQ(gr().get(fig, "Name"), Value("small"));
  EXPECT_EQ(gr().appdata(0, "plain_SINGLETON_handle"), Value(row({fig})));
}

TEST_F(Openfig, FortyCharacterNamesAgreeingInTheTokenShareOneRow) {
  const std::string common(31, 'w');
  const Handle a = openfig(rt(), copy_as(common + "_first___.fig"), "new");
  const Handle b = openfig(rt(), copy_as(common + "_second__.fig"), "new");
  EXPECT_EQ(gr().appdata(0, common), Value(row({a, b})));
  EXPECT_EQ(openfig(rt(), copy_as(common + "_third___.fig"), "reuse"), b);
}

TEST_F(Openfig, ShownWindowIsCurrentAndOnTheScreen) {
  gr().set(0, "screensize", Value(row({1, 1, 1024, 768})));
  const Handle fig = openfig(rt(), small);
  EXPECT_EQ(gr().gcf(), fig);
  EXPECT_EQ(gr().get(fig, "outerposition"), Value(row({724, 568, 300, 200})));
}

struct Refusal {
  const char* name;
  std::string file, policy, message;
};

class OpenfigRefuses : public Openfig, public ::testing::WithParamInterface<Refusal> {};

TEST_P(OpenfigRefuses, StoresNothingAndOpensNothing) {
  const std::string file = GetParam().file.empty() ? small : GetParam().file;
  try {
    openfig(rt(), file, GetParam().policy);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr(GetParam().message));
  }
  EXPECT_TRUE(registry().empty());
  EXPECT_TRUE(gr().figures().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, OpenfigRefuses,
    ::testing::Values(
        Refusal{"txt_extension", "layout.txt", "new", "Argument must be a .fig file"},
        Refusal{"capital_R_policy", "", "Reuse", "Second input argument must be 'new' or 'reuse'."},
        Refusal{"unknown_policy", "", "old", "Second input argument must be 'new' or 'reuse'."},
        Refusal{"missing_file", "/nonexistent/folder/none.fig", "reuse",
                "/nonexistent/folder/none.fig"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
