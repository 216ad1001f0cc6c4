#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/backend.h"
#include "shell/framework.h"
#include "support/test_support.h"

namespace tav {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;

class LoadFigureFile : public ::testing::Test {
 protected:
  void SetUp() override { runtime.backend = &backend; }
  std::string write(const std::string& name, const std::string& text) {
    std::ofstream(temp.file(name)) << text;
    return temp.file(name);
  }
  ScriptedBackend backend;
  Runtime runtime;  // the test's own graphics objects, served by `backend`
  Runtime& rt() { return runtime; }
  Objects& gr() { return runtime.objects; }
  test::TempDir temp;  // the test's own folder
};

TEST_F(LoadFigureFile, BuildsTheWindowItsAxesAndControls) {
  const Handle fig = load_figure_file(gr(), test::data_path("window_small.fig"));
  EXPECT_EQ(gr().get(fig, "position"), Value(row({900, 700, 300, 170})));
  const auto button = gr().find_by_tag("edit2");
  ASSERT_EQ(button.size(), 1u);
  EXPECT_EQ(gr().figure_of(button[0]), fig);
  EXPECT_EQ(gr().get(button[0], "Style"), Value("pushbutton"));
  EXPECT_EQ(gr().get(button[0], "Callback"), Value(List{"zidudezu", "Load"}));
  EXPECT_EQ(gr().get(button[0], "Position"), Value(row({10, 60, 80, 24})));
  const auto axes = gr().find_by_tag("MainAxes");
  ASSERT_EQ(axes.size(), 1u);
  EXPECT_EQ(gr().type(axes[0]), "axes");
  EXPECT_EQ(gr().get(axes[0], "Position"), Value(row({100, 10, 190, 150})));
}

TEST_F(LoadFigureFile, MixedCallbackKeepsItsInputsInOrder) {
  const std::string path = write("mixed_callback.fig", R"({"figure": {"Position": [1, 1, 200, 100]},
    "objects": [{"type": "uicontrol", "Tag": "Bigger", "Callback": ["incrementsymbolsize", "$axes", 1]}]})");
  load_figure_file(gr(), path);
  EXPECT_EQ(gr().get(gr().find_by_tag("Bigger")[0], "Callback"),
            Value(List{"incrementsymbolsize", "$axes", 1.0}));
}

struct BrokenFile {
  const char* name;
  std::string text, message;
};

class LoadFigureFileRefuses : public LoadFigureFile,
                              public ::testing::WithParamInterface<BrokenFile> {};

TEST_P(LoadFigureFileRefuses, NamesTheFileAndLeavesNoWindow) {
  const std::string path = write(std::string(GetParam().name) + ".fig", GetParam().text);
  try {
    load_figure_file(gr(), path);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), AllOf(HasSubstr(path), HasSubstr(GetParam().message)));
  }
  EXPECT_TRUE(gr().figures().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, LoadFigureFileRefuses,
    ::testing::Values(
        BrokenFile{"not_json", "{\"figure\": {\n \"Position\": [1, 2,, 3]}}", "line 2"},
        BrokenFile{"number_beyond_double", "{\"figure\": {\"Position\": [1e999, 1, 2, 3]}}",
                   "number overflow"},
        BrokenFile{"no_figure", "{\"objects\": []}", "\"figure\""},
        BrokenFile{"object_without_type", R"({"figure": {}, "objects": [{"Tag": "FileBox"}]})",
                   "Tag \"FileBox\""},
        BrokenFile{"unknown_type", R"({"figure": {}, "objects": [{"type": "slider"}]})", "slider"},
        BrokenFile{"bad_position",
                   R"({"figure": {}, "objects": [{"type": "uicontrol", "Position": [1, 2, 3]}]})",
                   "position"}),
    [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
