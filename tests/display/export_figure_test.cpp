#include <gmock/gmock.h>


#include "display/display.h"
#include "display/render.h"
#include "display_fixture.h"

namespace tav::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class ExportTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    figure = gr().gcf();
    showsemiproto2(gr(), outline_sample(), outline_protocol(), 1);
  }
  Handle figure = 0;
  TempDir dir;
};

struct Ending {
  const char* name;
  const char* file;
  const char* starts;
};

class ExportEnding : public ExportTest, public ::testing::WithParamInterface<Ending> {};

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

TEST_F(ExportTest, PngHasThreeTimesTheWindowsResolutionAndEpsItsSizeInPoints) {  // axes inside
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

TEST_F(ExportTest, UnwritablePlaceIsAnErrorNamingTheFileAndLeavesNothing) {
  const std::string missing = dir.file("no/such/folder/a.eps");
  EXPECT_THAT([&] { export_figure(gr(), figure, missing); },
              ::testing::ThrowsMessage<Error>(HasSubstr("\"" + missing + "\"")));
  std::filesystem::create_directory(dir.file("taken.eps"));  // a folder where the file should go
  EXPECT_THAT([&] { export_figure(gr(), figure, dir.file("taken.eps")); },
              ::testing::ThrowsMessage<Error>(HasSubstr("taken.eps")));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"taken.eps"});
}

TEST_F(ExportTest, NameWithAnotherEndingOrNoneIsRefusedAndNothingWritten) {
  for (const char* name : {"a.jpg", "picture", "a.fig"}) {
    SCOPED_TRACE(name);
    EXPECT_THAT([&] { export_figure(gr(), figure, dir.file(name)); },
                ::testing::ThrowsMessage<Error>(::testing::AllOf(HasSubstr(name), HasSubstr(".eps, .ps, .pdf, .svg or .png"))));
  }
  EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
}  // namespace tav::test
