#include "shell/main_window.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "platform/backend.h"
#include "shell/framework.h"
#include "support/test_support.h"

namespace tav {
namespace {

// Every control the action engine looks up by its tag.
const char* const kEngineTags[] = {"FileBox",       "ProtoBox",      "IterBox",      "DistanceBox",
                                   "NoAlignButton", "CurveButton",   "NumberButton", "TavrelButton",
                                   "MeanButton",    "OriginalButton"};

// Gives an environment variable a value while it lives; the value it had before (or its absence)
// is back afterwards, also when the test fails or throws on the way.
class EnvironmentValue {
 public:
  EnvironmentValue(const char* name, const std::string& value) : name_(name) {
    if (const char* before = std::getenv(name)) before_ = before;
    setenv(name, value.c_str(), 1);
  }
  ~EnvironmentValue() {
    if (before_)
      setenv(name_, before_->c_str(), 1);
    else
      unsetenv(name_);
  }
  EnvironmentValue(const EnvironmentValue&) = delete;
  EnvironmentValue& operator=(const EnvironmentValue&) = delete;

 private:
  const char* name_;
  std::optional<std::string> before_;
};

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override { runtime.backend = &backend; }
  ScriptedBackend backend;
  Runtime runtime;  // the test's own graphics objects, served by `backend`
  Runtime& rt() { return runtime; }
  Objects& gr() { return runtime.objects; }
};

TEST_F(MainWindow, OpensOnceWithEveryEngineTagExactlyOnce) {
  const Handle fig = open_main_window(rt());
  EXPECT_EQ(open_main_window(rt()), fig);
  EXPECT_EQ(gr().figures().size(), 1u);
  for (const char* tag : kEngineTags) EXPECT_EQ(gr().find_by_tag(tag).size(), 1u) << tag;
  EXPECT_EQ(gr().type(gr().gca()), "axes");
  EXPECT_EQ(gr().figure_of(gr().gca()), fig);
}

TEST_F(MainWindow, TakesTheControlsColourAndStoresItsHandles) {
  gr().set(0, "defaultUicontrolBackgroundColor", Value(row({0.9, 0.8, 0.7})));
  const Handle fig = open_main_window(rt());
  EXPECT_EQ(gr().get(fig, "Color"), Value(row({0.9, 0.8, 0.7})));
  EXPECT_EQ(guidata(gr(), fig), guihandles(gr(), fig));
}

TEST_F(MainWindow, EveryTagIsUniqueAndEveryActionHasAControl) {
  open_main_window(rt());
  const Value handles = guihandles(gr());
  for (const Field& f : handles.fields()) EXPECT_EQ(f.value.matrix().size(), 1) << f.name;
  for (const char* action : {"Load", "LoadReference", "LoadProtocol", "Save", "SaveLMSLM", "SaveLM",
                             "SaveReference", "SaveReferenceLMSLM", "SaveReferenceLM", "Replot",
                             "TangentPlot", "OriginalTangent", "Clear", "ShapeSpace"}) {
    int callers = 0;
    for (Handle h : gr().listing(gr().gcf()))
      if (gr().get(h, "Callback") == Value(List{"zidudezu", action})) ++callers;
    EXPECT_EQ(callers, 1) << action;
  }
}

TEST_F(MainWindow, LayoutFolderNamedByTheEnvironmentComesFirst) {
  namespace fs = std::filesystem;
  const test::TempDir dir;
  fs::copy_file(test::data_path("window_small.fig"), dir.file("tavrel6.fig"));
  const auto value = [] {
    const char* v = std::getenv("TAV_RESOURCE_DIR");
    return v ? std::optional<std::string>(v) : std::nullopt;
  };
  const std::optional<std::string> before = value();
  Handle fig = -1;
  {
    const EnvironmentValue layout_folder("TAV_RESOURCE_DIR", dir.path().string());
    fig = open_main_window(rt());
  }
  EXPECT_EQ(gr().get(fig, "Name"), Value("small"));
  EXPECT_EQ(value(), before);  // the user's own setting, if any, is back
}

}  // namespace
}  // namespace tav
