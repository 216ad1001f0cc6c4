#include "shell/main_window.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/backend.h"
#include "shell/framework.h"
#include "support/test_support.h"

namespace tav {
namespace {

// Every control the action engine looks up by its tag.
const char* const kEngineTags[] = {"FileBox",       "ProtoBox",      "IterBox",      "DistanceBox",
                                   "NoAlignButton", "CurveButton",   "NumberButton", "TavrelButton",
                                   "MeanButton",    "OriginalButton"};

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
                             "TangentPlot", "OriginalTangent", "Clear"}) {
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
  setenv("TAV_RESOURCE_DIR", dir.path().c_str(), 1);
  const Handle fig = open_main_window(rt());
  unsetenv("TAV_RESOURCE_DIR");
  EXPECT_EQ(gr().get(fig, "Name"), Value("small"));
}

}  // namespace
}  // namespace tav
