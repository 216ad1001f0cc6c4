#pragma once
// A fresh graphics runtime per test, with a scripted backend, and small readers of what the
// plots left in the current axes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/console.h"
#include "platform/objects.h"

namespace tav::test {

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { reset_runtime(&scripted); }
  void TearDown() override { reset_runtime(nullptr); }

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
  Row xdata(Handle h) { return gr().get(h, "XData").matrix(); }
  Row ydata(Handle h) { return gr().get(h, "YData").matrix(); }

  ScriptedBackend scripted;
  ConsoleCapture quiet;  // working values the plots show stay out of the test log
};

}  // namespace tav::test
