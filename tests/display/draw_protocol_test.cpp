#include <gmock/gmock.h>

#include "display/display.h"
#include "display_fixture.h"
#include "platform/console.h"

namespace tav::test {
namespace {

using ::testing::HasSubstr;

// Eight points: landmarks 1 and 2 (curve 0), a closed curve -1 of semi-landmarks 3, 4 and
// helper 5, an open curve 1 from landmark 1 over semi-landmarks 6, 7 and helper 8 to landmark 2.
CurveProtocol protocol() {
  CurveProtocol p;
  p.numfull = -1, p.numopen = 1;
  p.members = {{3, 4, 5}, {1, 2}, {1, 6, 7, 8, 2}};
  p.types = {{1, 1, 2}, {0, 0}, {0, 1, 1, 2, 0}};
  return p;
}

// n configurations of eight points, each row shifted a little, plus the trailing value.
Matrix sample(int n) {
  Matrix x(n, 17);
  for (int i = 0; i < n; ++i) {
    for (int p = 0; p < 8; ++p) {
      x(i, 2 * p) = p + 0.1 * i;
      x(i, 2 * p + 1) = (p % 3) - 0.05 * i;
    }
    x(i, 16) = 42;
  }
  return x;
}

using DrawProtocolTest = DisplayTest;

struct Styling {
  const char* name;
  ColourCode ccode;
  bool omithelpers;
  size_t ko, bd, rs, mo, gd, ys;  // markers per configuration row
};

class DrawProtocolStyles : public DisplayTest, public ::testing::WithParamInterface<Styling> {};

TEST_P(DrawProtocolStyles, MarksEachClassOfEachCurveInItsOwnStyle) {
  const Styling s = GetParam();
  const int n = 3;
  EXPECT_EQ(draw_protocol(gr(), sample(n), protocol(), false, s.omithelpers, s.ccode), 0);
  EXPECT_EQ(marked("ko").size(), n * s.ko);
  EXPECT_EQ(marked("bd").size(), n * s.bd);
  EXPECT_EQ(marked("rs").size(), n * s.rs);
  EXPECT_EQ(marked("mo").size(), n * s.mo);
  EXPECT_EQ(marked("gd").size(), n * s.gd);
  EXPECT_EQ(marked("ys").size(), n * s.ys);
  EXPECT_EQ(marked().size(), n * (s.ko + s.bd + s.rs + s.mo + s.gd + s.ys));
  for (Handle h : lines()) EXPECT_NE(gr().get(h, "Marker").text(), "none");  // no curve lines
}

INSTANTIATE_TEST_SUITE_P(
    Styles, DrawProtocolStyles,
    // An omithelpers of 2 (still marks) and an empty one (hides) are values of the window's
    // control and of a call by name: engine/view_test.cpp and shell/by_name_test.cpp.
    ::testing::Values(Styling{"defaults", ColourCode::own, false, 4, 4, 2, 0, 0, 0},
                      Styling{"second_colours", ColourCode::compared, false, 4, 4, 2, 4, 4, 2},
                      Styling{"helpers_omitted", ColourCode::own, true, 4, 4, 0, 0, 0, 0},
                      Styling{"helpers_omitted_second_colours", ColourCode::compared, true, 4, 4, 0,
                              4, 4, 0}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(DrawProtocolTest, MarkersSitOnTheirPointsAndTheSecondColourLiesOnTop) {
  const Matrix x = sample(1);
  draw_protocol(gr(), x, protocol(), false, false, ColourCode::compared);
  // Curve -1: semi-landmarks 3 and 4 in blue, then the same in green, then helper 5.
  const auto ms = marked();
  ASSERT_GE(ms.size(), 6u);
  const char* styles[] = {"bd", "bd", "gd", "gd", "rs", "ys"};
  const int points[] = {3, 4, 3, 4, 5, 5};
  for (int t = 0; t < 6; ++t) {
    SCOPED_TRACE(t);
    const Marked& m = ms[static_cast<size_t>(t)];
    EXPECT_EQ(gr().get(m.line, "Marker").text(), parse_linespec(styles[t]).marker);
    EXPECT_EQ(m.x, x(0, 2 * points[t] - 2));
    EXPECT_EQ(m.y, x(0, 2 * points[t] - 1));
    EXPECT_EQ(gr().get(m.line, "Color").matrix(), Matrix(Row(parse_linespec(styles[t]).color)));
  }
}

TEST_F(DrawProtocolTest, TenSpecimensWithFourSemiLandmarksGiveFortyDiamonds) {
  CurveProtocol p;
  p.numfull = 0, p.numopen = 1;
  p.members = {{1}, {2, 3, 4, 5}};
  p.types = {{0}, {1, 1, 1, 1}};
  const Matrix x = Matrix::Random(10, 11);
  draw_protocol(gr(), x, p, true);
  EXPECT_EQ(marked("bd").size(), 40u);
  EXPECT_EQ(marked("gd").size(), 0u);
  draw_protocol(gr(), x, p, false, false, ColourCode::compared);
  EXPECT_EQ(marked("bd").size(), 80u);
  EXPECT_EQ(marked("gd").size(), 40u);
}

TEST_F(DrawProtocolTest, CurveWithoutSemiLandmarksDrawsNoDiamonds) {
  CurveProtocol p;
  p.numfull = 0, p.numopen = 1;
  p.members = {{1, 3}, {1, 2, 3}};
  p.types = {{0, 0}, {0, 2, 0}};
  draw_protocol(gr(), sample(2).leftCols(7), p);
  EXPECT_EQ(marked("bd").size(), 0u);
  EXPECT_EQ(marked("ko").size(), 8u);
  EXPECT_EQ(marked("rs").size(), 2u);
}

TEST_F(DrawProtocolTest, CurveLinesFollowTheMeanAndCloseOnlyClosedCurves) {
  const Matrix x = sample(4);
  const Row mean = x.colwise().mean();
  draw_protocol(gr(), x, protocol(), 1, 1.0);  // helpers hidden: the line still passes them
  const auto dotted = markers("k:");
  ASSERT_EQ(dotted.size(), 2u);  // curve 0 is never joined
  const std::vector<std::vector<int>> paths = {{3, 4, 5, 3}, {1, 6, 7, 8, 2}};
  for (size_t c = 0; c < 2; ++c) {
    SCOPED_TRACE(c);
    const Row lx = xdata(dotted[c]), ly = ydata(dotted[c]);
    ASSERT_EQ(lx.size(), static_cast<Index>(paths[c].size()));
    for (size_t t = 0; t < paths[c].size(); ++t) {
      EXPECT_DOUBLE_EQ(lx(static_cast<Index>(t)), mean(2 * paths[c][t] - 2));
      EXPECT_DOUBLE_EQ(ly(static_cast<Index>(t)), mean(2 * paths[c][t] - 1));
    }
  }
  EXPECT_EQ(marked("rs").size(), 0u);
}

TEST_F(DrawProtocolTest, SingleConfigurationLineRunsThroughItsMarkers) {
  const Matrix x = sample(1);
  CurveProtocol p;
  p.numfull = 0, p.numopen = 1;
  p.members = {{1}, {2, 3, 4}};
  p.types = {{0}, {1, 1, 1}};
  draw_protocol(gr(), x, p, true);
  const auto dotted = markers("k:");
  const auto diamonds = marked("bd");
  ASSERT_EQ(dotted.size(), 1u);
  ASSERT_EQ(diamonds.size(), 3u);
  for (Index t = 0; t < 3; ++t) {
    EXPECT_EQ(xdata(dotted[0])(t), diamonds[static_cast<size_t>(t)].x);
    EXPECT_EQ(ydata(dotted[0])(t), diamonds[static_cast<size_t>(t)].y);
  }
}

TEST_F(DrawProtocolTest, OnlyCurveZeroMarksLandmarksAndNeverJoinsThem) {
  CurveProtocol p;
  p.members = {{1, 2, 3}};
  p.types = {{0, 0, 0}};
  ConsoleCapture console;
  draw_protocol(gr(), sample(2), p, 1);
  EXPECT_EQ(marked("ko").size(), 6u);
  EXPECT_EQ(markers("k:").size(), 0u);
  EXPECT_THAT(console.text(), HasSubstr(" nc =3 icount = 0.000000 \n"));
}

TEST_F(DrawProtocolTest, ConsoleShowsTheWorkingValuesOfEachCurve) {
  ConsoleCapture console;
  draw_protocol(gr(), sample(2), protocol(), 1);
  const std::string text = console.text();
  for (const char* line : {"i = -1\nmc = 1\nnc = 3\n",
                           "i = -1\nlinec = 0\nxlinlist = 0\ni = -1\n nc =3 icount = -1.000000 \n"
                           "xlinlist = [5 7 9 5]\nylinlist = [6 8 10 6]\n",
                           "i = 1\nmc = 1\nnc = 5\n",
                           " nc =5 icount = 1.000000 \n"
                           "xlinlist = [1 11 13 15 3]\nylinlist = [2 12 14 16 4]\n"})
    EXPECT_THAT(text, HasSubstr(line));
}

TEST_F(DrawProtocolTest, PointBeyondTheConfigurationIsAnErrorAndEarlierCurvesStay) {
  CurveProtocol p = protocol();
  p.members[2][2] = 9;  // curve 1 names point 9 of an eight-point configuration
  EXPECT_THAT([&] { draw_protocol(gr(), sample(1), p); },
              ::testing::ThrowsMessage<Error>(HasSubstr("curve 1: point 9")));
  EXPECT_EQ(marked("ko").size(), 4u);  // curve 0, then curve 1's landmarks, were drawn
}

TEST_F(DrawProtocolTest, ProtocolWithoutEnoughCurvesOrTypesIsAnError) {
  CurveProtocol missing_curve = protocol();
  missing_curve.members.pop_back();
  EXPECT_THROW(draw_protocol(gr(), sample(1), missing_curve), Error);
  CurveProtocol missing_type = protocol();
  missing_type.types[1].pop_back();
  EXPECT_THAT([&] { draw_protocol(gr(), sample(1), missing_type); },
              ::testing::ThrowsMessage<Error>(HasSubstr("point types")));
}

}  // namespace
}  // namespace tav::test
