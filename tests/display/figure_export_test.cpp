#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <iterator>

#include "display/display.h"
#include "display/render.h"
#include "display_fixture.h"
#include "support/test_support.h"

namespace tav::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A scripted backend that also records the dialog's filter and looks at the drawing at the
// moment of the dialog and of the clipboard write.
class WatchingBackend : public ScriptedBackend {
 public:
  std::vector<std::string> filters;
  std::function<void()> at_dialog, at_clipboard;
  std::optional<FileChoice> save_file(const std::string& filter,
                                      const std::string& title) override {
    filters.push_back(filter);
    if (at_dialog) at_dialog();
    return ScriptedBackend::save_file(filter, title);
  }
  void to_clipboard(const std::string& svg, const std::vector<std::uint8_t>& png) override {
    if (at_clipboard) at_clipboard();
    ScriptedBackend::to_clipboard(svg, png);
  }
};

// The axes' placement and limits at one moment.
struct Snapshot {
  Row position, limits;
  std::string units, window_units, aspect;
};

// Pictures of the drawing, by export_figure and by the window's two copy actions. The main
// window: 100 by 30 characters, its axes in normalized units, with a sample drawn; the test's
// own folder to write in.
class FigureExportTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    runtime.backend = &watching;
    start_folder = std::filesystem::current_path();
    figure = gr().gcf();
    gr().set(figure, "Units", "characters");
    gr().set(figure, "Position", row({10, 5, 100, 30}));
    gr().set(figure, "Units", "pixels");
    ax = gr().gca();
    draw_protocol(gr(), outline_sample(), outline_protocol(), true);
    fitted = gr().axis(ax);
  }
  void TearDown() override {
    std::filesystem::current_path(start_folder);
    DisplayTest::TearDown();
  }
  Snapshot snapshot() {
    return {gr().get(ax, "Position").matrix(), gr().axis(ax), gr().get(ax, "Units").text(),
            gr().get(figure, "Units").text(), gr().get(ax, "DataAspectRatioMode").text()};
  }
  void expect_enlarged(const Snapshot& s) {
    EXPECT_EQ(s.units, "characters");
    EXPECT_LT(max_abs_diff(s.position, row({12, 3, 95, 26})), 1e-9);
    EXPECT_EQ(s.aspect, "manual");
  }
  void expect_restored(const Snapshot& before) {
    const Snapshot after = snapshot();
    EXPECT_EQ(after.units, before.units);
    EXPECT_EQ(after.window_units, before.window_units);
    EXPECT_LT(max_abs_diff(after.position, before.position), 1e-12);
    EXPECT_LT(max_abs_diff(after.limits, before.limits),
              1e-12);  // the view as it was (zoomed or not)
    EXPECT_EQ(after.aspect, "manual");
  }

  WatchingBackend watching;
  std::filesystem::path start_folder;
  Handle figure = 0, ax = 0;
  Row fitted;
  TempDir dir;
};

TEST_F(FigureExportTest, ClipboardGetsTheEnlargedDrawingWithWidenedLimits) {
  gr().axis(ax, row({0, 10, 0, 5}));
  const Snapshot before = snapshot();
  Snapshot during;
  watching.at_clipboard = [&] { during = snapshot(); };
  ConsoleCapture console;
  copy_drawing_to_clipboard(gr(), ui());
  expect_enlarged(during);
  EXPECT_LT(max_abs_diff(during.limits, row({-0.3, 10.3, -0.15, 5.15})), 1e-12);
  EXPECT_EQ(during.window_units, "characters");
  EXPECT_THAT(console.text(), HasSubstr("fposition = [12 3 95 26]"));
  ASSERT_EQ(watching.clipboard_writes, 1);
  EXPECT_THAT(watching.clipboard_svg, StartsWith("<?xml"));
  EXPECT_THAT(watching.clipboard_svg, HasSubstr("<svg"));
  ASSERT_GT(watching.clipboard_png.size(), 24u);
  EXPECT_EQ(std::string(watching.clipboard_png.begin(), watching.clipboard_png.begin() + 4),
            "\x89PNG");
  expect_restored(before);
}

TEST_F(FigureExportTest, EpsDialogShowsItsTitleAndFilterOverTheEnlargedAxesAsTheViewShowsThem) {
  gr().axis(ax, row({0, 10, 0, 5}));
  Snapshot during;
  watching.at_dialog = [&] { during = snapshot(); };
  watching.cancel();
  export_drawing_to_chosen_file(gr(), ui());
  expect_enlarged(during);
  EXPECT_LT(max_abs_diff(during.limits, row({0, 10, 0, 5})), 1e-12);  // a zoomed view stays zoomed
  ASSERT_EQ(watching.titles.size(), 1u);
  EXPECT_THAT(watching.titles[0], ::testing::StartsWith("Export picture"));
  ASSERT_EQ(watching.filters.size(), 1u);
  for (const char* format : {"EPS (*.eps *.ps)", "PDF (*.pdf)", "SVG (*.svg)", "PNG (*.png)"})
    EXPECT_THAT(watching.filters[0], HasSubstr(format));
}

struct EpsCase {
  const char* name;
  const char* file;    // chosen in the test's folder; nullptr: the dialog is cancelled
  const char* starts;  // the written file's first bytes; nullptr: nothing written
};

class ExportDrawingCases : public FigureExportTest,
                           public ::testing::WithParamInterface<EpsCase> {};

TEST_P(ExportDrawingCases, WritesByEndingMovesToTheFolderAndRestoresTheAxes) {
  const EpsCase c = GetParam();
  if (c.file)
    watching.choose(dir.file(c.file));
  else
    watching.cancel();
  const Snapshot before = snapshot();
  export_drawing_to_chosen_file(gr(), ui());
  expect_restored(before);
  EXPECT_TRUE(watching.messages.empty());
  if (c.starts) {
    EXPECT_THAT(read_bytes(dir.file(c.file)), StartsWith(c.starts));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{c.file});
  } else {
    EXPECT_TRUE(dir.entries().empty());
  }
  // No dialog moves the process's working folder: later relative names mean what they meant.
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), start_folder));
}

INSTANTIATE_TEST_SUITE_P(Choices, ExportDrawingCases,
                         ::testing::Values(EpsCase{"eps", "drawing.eps", "%!PS-Adobe-3.0 EPSF-3.0"},
                                           EpsCase{"capital_ending", "drawing.EPS",
                                                   "%!PS-Adobe-3.0 EPSF-3.0"},
                                           EpsCase{"pdf", "drawing.pdf", "%PDF-"},
                                           EpsCase{"svg", "drawing.svg", "<?xml"},
                                           EpsCase{"png", "drawing.png", "\x89PNG"},
                                           EpsCase{"cancelled", nullptr, nullptr}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST_F(FigureExportTest, NameWithoutAWrittenEndingIsRefusedWithAMessage) {
  for (const char* name : {"drawing.jpg", "drawing"}) {
    watching.choose(dir.file(name));
    export_drawing_to_chosen_file(gr(), ui());
  }
  ASSERT_EQ(watching.messages.size(), 2u);
  EXPECT_THAT(watching.messages[0], HasSubstr("the ending .jpg is not written"));
  EXPECT_THAT(watching.messages[1], HasSubstr("no ending"));
  EXPECT_TRUE(dir.entries().empty());
}

TEST_F(FigureExportTest, WriteFailureNamesTheFileAndStillRestoresEverything) {
  const std::string target = dir.file("missing/drawing.eps");
  watching.choose(target);
  const Snapshot before = snapshot();
  export_drawing_to_chosen_file(gr(), ui());
  ASSERT_EQ(watching.messages.size(), 1u);
  EXPECT_THAT(watching.messages[0], HasSubstr("\"" + target + "\""));
  expect_restored(before);
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), start_folder));
}

TEST_F(FigureExportTest, AxesInPixelsInAWindowInCharactersComeBackAsTheyWere) {
  gr().set(figure, "Units", "characters");
  gr().set(ax, "Units", "pixels");
  gr().set(ax, "Position", row({40, 30, 500, 400}));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const Snapshot before = snapshot();
    if (round == 0)
      copy_drawing_to_clipboard(gr(), ui());
    else
      (watching.cancel(), export_drawing_to_chosen_file(gr(), ui()));
    expect_restored(before);
    EXPECT_LT(max_abs_diff(gr().get(figure, "Position").matrix(), row({10, 5, 100, 30})), 1e-12);
  }
}

TEST_F(FigureExportTest, PageHoldsTheEnlargedAxesWholeWhereTheyPassTheWindowsEdge) {
  watching.choose(dir.file("drawing.png"));
  export_drawing_to_chosen_file(gr(), ui());
  const auto [w, h] = png_size(read_bytes(dir.file("drawing.png")));
  const double right = (12 + 95) * kCharWidthPx;  // past the window's 100 characters
  EXPECT_GE(w, std::lround(kPngScale * right));
  EXPECT_LE(w, std::lround(kPngScale * (right + 10)));
  EXPECT_EQ(h, std::lround(kPngScale * 30 * kCharHeightPx));
}

TEST_F(FigureExportTest, GhostscriptRendersTheEpsWithItsMarkersAndBox) {
  if (std::system("gs --version > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "Ghostscript is not installed";
  const std::string eps = dir.file("sample.eps"), png = dir.file("sample.png");
  watching.choose(eps);
  watching.choose(png);
  export_drawing_to_chosen_file(gr(), ui());
  export_drawing_to_chosen_file(gr(), ui());  // the same drawing as PNG
  const std::string rendered = dir.file("gs.png");
  const std::string cmd =
      "gs -q -dBATCH -dNOPAUSE -dSAFER -dEPSCrop -r144 -sDEVICE=png16m -sOutputFile=" + rendered +
      " " + eps + " > " + dir.file("gs.log") + " 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << read_bytes(dir.file("gs.log"));
  for (const std::string& picture : {rendered, png}) {
    SCOPED_TRACE(picture);
    const auto [blue, black] = blue_and_black(picture);
    EXPECT_GT(blue, 50);    // the semi-landmark diamonds
    EXPECT_GT(black, 500);  // the axes box, tick labels, landmark circles and curve lines
  }
  // TAV_EXPORT_PICTURE names a copy of the PNG to keep (the documentation's picture).
  if (const char* keep = std::getenv("TAV_EXPORT_PICTURE"))
    std::filesystem::copy_file(png, keep, std::filesystem::copy_options::overwrite_existing);
}

// export_figure itself: the format by the name's ending, errors that leave nothing behind.
struct Ending {
  const char* name;
  const char* file;
  const char* starts;
};

class ExportEnding : public FigureExportTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(ExportEnding, FormatFollowsTheEndingAndNothingElseIsLeft) {
  const Ending e = GetParam();
  export_figure(gr(), figure, dir.file(e.file));
  EXPECT_THAT(read_bytes(dir.file(e.file)), StartsWith(e.starts));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{e.file});  // no temporary file stays
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ExportEnding,
    ::testing::Values(Ending{"eps", "a.eps", "%!PS-Adobe-3.0 EPSF-3.0"},
                      Ending{"eps_capitals", "a.EPS", "%!PS-Adobe-3.0 EPSF-3.0"},
                      Ending{"ps", "a.ps", "%!PS-Adobe-3.0 EPSF-3.0"},
                      Ending{"pdf", "a.pdf", "%PDF-"}, Ending{"svg", "a.svg", "<?xml"},
                      Ending{"png", "a.png", "\x89PNG"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FigureExportTest,
       PngHasThreeTimesTheWindowsResolutionAndEpsItsSizeInPoints) {  // axes inside
  const Row px = gr().pixel_position(figure);
  export_figure(gr(), figure, dir.file("a.png"));
  const auto [w, h] = png_size(read_bytes(dir.file("a.png")));
  EXPECT_EQ(w, std::lround(kPngScale * px(2)));
  EXPECT_EQ(h, std::lround(kPngScale * px(3)));
  export_figure(gr(), figure, dir.file("a.eps"));
  EXPECT_THAT(read_bytes(dir.file("a.eps")),
              HasSubstr("%%BoundingBox: 0 0 " + std::to_string(std::lround(px(2) * 0.75)) + " " +
                        std::to_string(std::lround(px(3) * 0.75))));
}

TEST_F(FigureExportTest, UnwritablePlaceIsAnErrorNamingTheFileAndLeavesNothing) {
  const std::string missing = dir.file("no/such/folder/a.eps");
  EXPECT_THAT([&] { export_figure(gr(), figure, missing); },
              ::testing::ThrowsMessage<Error>(HasSubstr("\"" + missing + "\"")));
  std::filesystem::create_directory(dir.file("taken.eps"));  // a folder where the file should go
  EXPECT_THAT([&] { export_figure(gr(), figure, dir.file("taken.eps")); },
              ::testing::ThrowsMessage<Error>(HasSubstr("taken.eps")));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"taken.eps"});
}

TEST_F(FigureExportTest, NameWithAnotherEndingOrNoneIsRefusedAndNothingWritten) {
  for (const char* name : {"a.jpg", "picture", "a.fig"}) {
    SCOPED_TRACE(name);
    EXPECT_THAT([&] { export_figure(gr(), figure, dir.file(name)); },
                ::testing::ThrowsMessage<Error>(
                    ::testing::AllOf(HasSubstr(name), HasSubstr(".eps, .ps, .pdf, .svg or .png"))));
  }
  EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
}  // namespace tav::test
