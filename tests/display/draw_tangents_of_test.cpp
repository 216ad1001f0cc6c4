#include <cmath>
#include <gmock/gmock.h>

#include "display/display.h"
#include "display_fixture.h"
#include "sliding/sliding.h"

namespace tav::test {
namespace {

// The views draw the protocol plot first, which leaves the axes holding.
class DrawTangentsTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    gr().hold(axes(), true);
  }
  // The tangent segments: solid, wider than the curve lines, in their own orange.
  std::vector<Handle> tangents() {
    std::vector<Handle> out;
    for (Handle h : lines())
      if (gr().get(h, "LineStyle").text() == "-" && gr().get(h, "Marker").text() == "none" &&
          Row(gr().get(h, "Color").matrix()) == row({0.85, 0.37, 0.0}) &&
          gr().get(h, "LineWidth").scalar() == 1.5)
        out.push_back(h);
    return out;
  }
};

// Mean distance between neighbouring members of the interleaved curve row c.
double mean_spacing(const Row& c, bool closed) {
  const Index k = c.size() / 2;
  double sum = 0;
  for (Index m = 0; m + 1 < k; ++m)
    sum += std::hypot(c(2 * m + 2) - c(2 * m), c(2 * m + 3) - c(2 * m + 1));
  if (closed) sum += std::hypot(c(0) - c(2 * k - 2), c(1) - c(2 * k - 1));
  return sum / static_cast<double>(closed ? k : k - 1);
}

// Points 1-8 round the unit circle, points 9-15 on the parabola y = 0.3 x^2, trailing value 1.
Row configuration() {
  Row x(31);
  for (int p = 0; p < 8; ++p) {
    x(2 * p) = std::cos(2 * M_PI * p / 8 + 0.2);
    x(2 * p + 1) = std::sin(2 * M_PI * p / 8 + 0.2);
  }
  for (int p = 8; p < 15; ++p) {
    const double t = -1.5 + 0.5 * (p - 8);
    x(2 * p) = t;
    x(2 * p + 1) = 0.3 * t * t + 2;
  }
  x(30) = 1;
  return x;
}

CurveProtocol protocol() {
  CurveProtocol p;
  p.numfull = -1, p.numopen = 1;
  p.members = {{1, 2, 3, 4, 5, 6, 7, 8}, {1, 9}, {9, 10, 11, 12, 13, 14, 15}};
  p.types = {{0, 1, 1, 1, 1, 1, 1, 1}, {0, 0}, {0, 1, 1, 1, 1, 1, 2}};
  return p;
}

// Landmarks never slide: the curves' landmarks (points 1 and 9) get no segment.
TEST_F(DrawTangentsTest, EverySlidingCurveMemberGetsACentredSegmentAlongItsTangent) {
  const Row x = configuration();
  const CurveProtocol p = protocol();
  draw_tangents_of(gr(), x, p);
  const auto segments = tangents();
  ASSERT_EQ(segments.size(), 13u);  // 7 closed + 6 open sliding members, curve 0 none
  size_t s = 0;
  for (int code : {-1, 1}) {
    const auto& members = p.members_of(code);
    Row c(2 * static_cast<Index>(members.size()));
    for (size_t m = 0; m < members.size(); ++m)
      c.segment(2 * static_cast<Index>(m), 2) = x.segment(2 * members[m] - 2, 2);
    const Matrix u = quadratic_tangent_basis(c, code < 0);
    const Index k = static_cast<Index>(members.size());
    const double length = 0.9 * mean_spacing(c, code < 0);  // long enough to see beside the markers
    for (Index m = 0; m < k; ++m) {
      if (members[static_cast<size_t>(m)] == 1 || members[static_cast<size_t>(m)] == 9) continue;
      SCOPED_TRACE(testing::Message() << "curve " << code << " member " << m + 1);
      const Row sx = xdata(segments[s]), sy = ydata(segments[s]);
      ASSERT_EQ(sx.size(), 2);
      EXPECT_NEAR(0.5 * (sx(0) + sx(1)), c(2 * m), 1e-12);
      EXPECT_NEAR(0.5 * (sy(0) + sy(1)), c(2 * m + 1), 1e-12);
      EXPECT_NEAR(std::hypot(sx(1) - sx(0), sy(1) - sy(0)), length, 1e-12);
      EXPECT_NEAR(sx(1) - sx(0), length * u(m, m), 1e-12);
      EXPECT_NEAR(sy(1) - sy(0), length * u(k + m, m), 1e-12);
      ++s;
    }
  }
}

TEST_F(DrawTangentsTest, HorizontalRunGivesHorizontalSegments) {
  Row x(13);
  for (int p = 0; p < 6; ++p) x(2 * p) = 3 + p, x(2 * p + 1) = -1;
  x(12) = 0;
  CurveProtocol p;
  p.numopen = 1;
  p.members = {{1}, {1, 2, 3, 4, 5, 6}};
  p.types = {{0}, {0, 1, 1, 1, 1, 0}};
  draw_tangents_of(gr(), x, p);
  const auto segments = tangents();
  ASSERT_EQ(segments.size(), 4u);   // the landmarks at the ends have none
  for (size_t k = 0; k < 4; ++k) {  // points one unit apart: segments 0.9 long
    const Row sx = xdata(segments[k]), sy = ydata(segments[k]);
    EXPECT_NEAR(std::min(sx(0), sx(1)), 4 + k - 0.45, 1e-12);
    EXPECT_NEAR(std::max(sx(0), sx(1)), 4 + k + 0.45, 1e-12);
    EXPECT_EQ(sy, row({-1, -1}));
  }
}

TEST_F(DrawTangentsTest, ClosedCurveEndsFollowTheWrappedEstimate) {
  const Row x = configuration();
  CurveProtocol closed;
  closed.numfull = -1;
  closed.members = {{1, 2, 3, 4, 5, 6, 7, 8}, {9}};
  closed.types = {{1, 1, 1, 1, 1, 1, 1, 1}, {0}};
  CurveProtocol open = closed;
  open.numfull = 0, open.numopen = 1;
  open.members = {{9}, closed.members[0]};
  open.types = {{0}, closed.types[0]};
  draw_tangents_of(gr(), x, closed);
  draw_tangents_of(gr(), x, open);
  const auto segments = tangents();
  ASSERT_EQ(segments.size(), 16u);
  auto direction = [&](size_t s) {
    const Row sx = xdata(segments[s]), sy = ydata(segments[s]);
    return row({sx(1) - sx(0), sy(1) - sy(0)});
  };
  // First member: on a circle the wrapped estimate differs from the open-end one.
  EXPECT_GT((direction(0) - direction(8)).cwiseAbs().maxCoeff(), 1e-4);
  EXPECT_GT((direction(7) - direction(15)).cwiseAbs().maxCoeff(), 1e-4);
}

TEST_F(DrawTangentsTest, AddsOnTopOfTheProtocolPlotLeavingLimitsAndScaling) {
  draw_protocol(gr(), configuration(), protocol());
  const Row limits = gr().axis(axes());
  const size_t drawn = lines().size();
  draw_tangents_of(gr(), configuration(), protocol());
  EXPECT_EQ(lines().size(), drawn + 13);
  EXPECT_EQ(gr().axis(axes()), limits);
  EXPECT_EQ(gr().get(axes(), "DataAspectRatioMode").text(), "manual");
}

TEST_F(DrawTangentsTest, OnlyCurveZeroDrawsNothing) {
  CurveProtocol p;
  p.members = {{1, 2, 3}};
  p.types = {{0, 0, 0}};
  draw_tangents_of(gr(), configuration(), p);
  EXPECT_TRUE(lines().empty());
}

TEST_F(DrawTangentsTest, PointBeyondTheConfigurationOrTooShortACurveIsAnError) {
  CurveProtocol beyond = protocol();
  beyond.members[2].back() = 16;
  EXPECT_THAT([&] { draw_tangents_of(gr(), configuration(), beyond); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("point 16")));
  EXPECT_EQ(tangents().size(), 7u);  // the closed curve's segments stay
  CurveProtocol short_open = protocol();
  short_open.members[2] = {9, 10, 11};
  EXPECT_THROW(draw_tangents_of(gr(), configuration(), short_open), Error);
}

}  // namespace
}  // namespace tav::test
