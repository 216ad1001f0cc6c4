#include <cairo.h>
#include <gmock/gmock.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "display/display.h"
#include "display/render.h"
#include "display_fixture.h"

namespace tav::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Width and height from a PNG's header.
std::pair<long, long> png_size(const std::string& bytes) {
  auto be32 = [&](size_t at) {
    long v = 0;
    for (size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(bytes.at(at + i));
    return v;
  };
  return {be32(16), be32(20)};
}

class ExportTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    figure = gr().gcf();
    showsemiproto2(outline_sample(), outline_protocol(), 1);
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
                      Ending{"unknown_is_eps", "a.fig", "%!PS-Adobe-3.0 EPSF-3.0"},
                      Ending{"no_ending_is_eps", "picture", "%!PS-Adobe-3.0 EPSF-3.0"},
                      Ending{"pdf", "a.pdf", "%PDF-"}, Ending{"svg", "a.svg", "<?xml"},
                      Ending{"png", "a.png", "\x89PNG"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(ExportTest, PngHasThreeTimesTheWindowsResolutionAndEpsItsSizeInPoints) {
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

// Counts pixels of a picture that are mostly blue and mostly black.
std::pair<int, int> blue_and_black(const std::string& png) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  EXPECT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* d = cairo_image_surface_get_data(s);
  int blue = 0, black = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = *reinterpret_cast<const std::uint32_t*>(d + y * stride + 4 * x);
      const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      blue += b > 180 && r < 80 && g < 80;
      black += r < 60 && g < 60 && b < 60;
    }
  cairo_surface_destroy(s);
  return {blue, black};
}

TEST_F(ExportTest, GhostscriptRendersTheEpsWithItsMarkersAndBox) {
  if (std::system("gs --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "Ghostscript is not installed";
  const std::string eps = dir.file("sample.eps"), png = dir.file("sample_gs.png");
  export_figure(gr(), figure, eps);
  const std::string cmd = "gs -q -dBATCH -dNOPAUSE -dSAFER -dEPSCrop -r144 -sDEVICE=png16m -sOutputFile=" +
                          png + " " + eps + " > " + dir.file("gs.log") + " 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << read_bytes(dir.file("gs.log"));
  const auto [blue, black] = blue_and_black(png);
  EXPECT_GT(blue, 50);   // the semi-landmark diamonds
  EXPECT_GT(black, 500);  // the axes box, tick labels, landmark circles and curve lines
  // The same drawing as PNG; TAV_EXPORT_PICTURE names a copy to keep (the documentation's).
  export_figure(gr(), figure, dir.file("sample.png"));
  EXPECT_GT(blue_and_black(dir.file("sample.png")).first, 50);
  if (const char* keep = std::getenv("TAV_EXPORT_PICTURE"))
    export_figure(gr(), figure, keep);
}

}  // namespace
}  // namespace tav::test
