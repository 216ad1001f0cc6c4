#pragma once
// A fresh graphics runtime per test, with a scripted backend, and small readers of what the
// plots left in the current axes.
#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "consensus/curve_protocol.h"
#include "platform/backend.h"
#include "platform/console.h"
#include "platform/objects.h"
#include "support/test_support.h"

namespace tav::test {

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { runtime.backend = &scripted; }

  // The test's own graphics objects and the backend serving them.
  Objects& gr() { return runtime.objects; }
  Backend& ui() { return runtime.ui(); }

  Handle axes() { return gr().gca(); }
  // Line children of the current axes in drawing order (oldest first).
  std::vector<Handle> lines() {
    std::vector<Handle> out;
    for (Handle h : gr().children(axes()))
      if (gr().type(h) == "line") out.push_back(h);
    return out;
  }
  // Lines drawn as markers in the style of a line specification such as "bd" (no line).
  std::vector<Handle> markers(const std::string& spec) {
    const LineSpec want = parse_linespec(spec);
    std::vector<Handle> out;
    for (Handle h : lines())
      if (gr().get(h, "Marker").text() == want.marker &&
          gr().get(h, "LineStyle").text() == want.line_style &&
          Row(gr().get(h, "Color").matrix()) == Row(want.color))
        out.push_back(h);
    return out;
  }
  // Every marked point in drawing order (objects oldest first, each object's points in order):
  // the line object that marks it and where. With a spec, only lines of that style.
  struct Marked {
    Handle line;
    double x, y;
  };
  std::vector<Marked> marked(const std::string& spec = "") {
    std::vector<Marked> out;
    for (Handle h : spec.empty() ? lines() : markers(spec)) {
      if (gr().get(h, "Marker").text() == "none") continue;
      const Row x = xdata(h), y = ydata(h);
      for (Index i = 0; i < x.size(); ++i) out.push_back({h, x(i), y(i)});
    }
    return out;
  }
  Row xdata(Handle h) { return gr().get(h, "XData").matrix(); }
  Row ydata(Handle h) { return gr().get(h, "YData").matrix(); }

  ScriptedBackend scripted;
  Runtime runtime;
  ConsoleCapture quiet;  // working values the plots show stay out of the test log
};

inline std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Width and height from a PNG's header.
inline std::pair<long, long> png_size(const std::string& bytes) {
  auto be32 = [&](size_t at) {
    long v = 0;
    for (size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(bytes.at(at + i));
    return v;
  };
  return {be32(16), be32(20)};
}

// Counts pixels of a picture that are mostly blue and mostly black.
inline std::pair<int, int> blue_and_black(const std::string& png) {
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
      blue += b > 140 && r < 60 && g > 70 && g < 160;  // the palette's blue, (0, 114, 178)
      black += r < 60 && g < 60 && b < 60;
    }
  cairo_surface_destroy(s);
  return {blue, black};
}

// A small sample: 6 outlines of 12 points round an ellipse (landmarks 1 and 7, helpers 4 and
// 10, the rest semi-landmarks) with an open midline 1-15-14-13-7 of three semi-landmarks.
inline Matrix outline_sample() {
  const int n = 6, k = 15;
  Matrix x(n, 2 * k + 1);
  for (int i = 0; i < n; ++i) {
    const double wobble = 0.06 * std::sin(1.7 * i + 0.3);
    for (int p = 0; p < 12; ++p) {
      const double a = 2 * M_PI * p / 12;
      x(i, 2 * p) = (2 + wobble) * std::cos(a) + 0.03 * std::sin(3.1 * i + p);
      x(i, 2 * p + 1) = (1 - wobble) * std::sin(a) + 0.03 * std::cos(2.3 * i + p);
    }
    for (int p = 12; p < 15; ++p) {
      x(i, 2 * p) = -1 + (p - 12) + 0.04 * std::sin(i + p);
      x(i, 2 * p + 1) = 0.25 * std::cos(0.8 * (p - 13)) + wobble;
    }
    x(i, 2 * k) = 1;
  }
  return x;
}

inline CurveProtocol outline_protocol() {
  CurveProtocol p;
  p.numfull = -1, p.numopen = 1;
  p.members = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 7}, {1, 15, 14, 13, 7}};
  p.types = {{0, 1, 1, 2, 1, 1, 0, 1, 1, 2, 1, 1}, {0, 0}, {0, 1, 1, 1, 0}};
  return p;
}

}  // namespace tav::test
