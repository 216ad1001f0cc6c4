// The quadratic-fit rule and the three U-matrix builders.
#include <cmath>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <string>

#include "sliding/sliding.h"
#include "sliding/tangent_rules.h"

namespace tav {
namespace {

Row interleave(const Row& xs, const Row& ys) {
  Row r(2 * xs.size());
  for (Index i = 0; i < xs.size(); ++i) {
    r(2 * i) = xs(i);
    r(2 * i + 1) = ys(i);
  }
  return r;
}

// k points on a circle of radius r around (cx, cy), starting at angle a0, anticlockwise.
Row circle(Index k, double r = 1, double a0 = 0.1, double cx = 0, double cy = 0) {
  Row xs(k), ys(k);
  for (Index i = 0; i < k; ++i) {
    const double a = a0 + 2 * std::numbers::pi * double(i) / double(k);
    xs(i) = cx + r * std::cos(a);
    ys(i) = cy + r * std::sin(a);
  }
  return interleave(xs, ys);
}

Tangent column_tangent(const Matrix& u, Index col, Index half) {
  return {u(col - 1, col - 1), u(half + col - 1, col - 1)};
}

// The least-squares slope at x0 from the 3×3 normal equations in long double: an independent
// reference for well-posed windows.
double normal_equation_slope(const Row& xs, const Row& ys, double x0) {
  long double s[5] = {0, 0, 0, 0, 0}, t[3] = {0, 0, 0};
  for (Index j = 0; j < xs.size(); ++j) {
    const long double x = xs(j), y = ys(j);
    long double p = 1;
    for (int e = 0; e < 5; ++e, p *= x) s[e] += p;
    t[0] += y * x * x;
    t[1] += y * x;
    t[2] += y;
  }
  // Rows for p1 (x²), p2 (x), p3 (1); Cramer's rule.
  const long double a[3][3] = {{s[4], s[3], s[2]}, {s[3], s[2], s[1]}, {s[2], s[1], s[0]}};
  auto det = [](const long double m[3][3]) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  };
  long double b[3][3], c[3][3];
  for (int r = 0; r < 3; ++r)
    for (int q = 0; q < 3; ++q) b[r][q] = c[r][q] = a[r][q];
  for (int r = 0; r < 3; ++r) b[r][0] = t[r], c[r][1] = t[r];
  const long double d = det(a), p1 = det(b) / d, p2 = det(c) / d;
  return double(2 * p1 * x0 + p2);
}

// The point (x, y) turned by `turn` about the origin and shifted by (dx, dy).
Eigen::RowVector2d turned(double x, double y, double turn, double dx = 0, double dy = 0) {
  return {std::cos(turn) * x - std::sin(turn) * y + dx,
          std::sin(turn) * x + std::cos(turn) * y + dy};
}

TEST(QuadraticTangent, ParabolaWindowGivesItsExactTangent) {
  // The chord runs along +x, so the window's frame is the plain one: the slope of y = x² at 1.
  const Tangent t = quadratic_tangent(row({-2, -1, 0, 1, 2}), row({4, 1, 0, 1, 4}), 1, 1);
  EXPECT_NEAR(t.x, 1 / std::sqrt(5.0), 1e-14);
  EXPECT_NEAR(t.y, 2 / std::sqrt(5.0), 1e-14);
}

// A window lying on the parabola v = a·u² + b·u of its own chord frame (which needs
// b = -a·(u_first + u_last), so that the chord runs along u) has the tangent (1, b)/√(1+b²)
// in that frame, however the window is turned and wherever it stands; a turn of 90 degrees
// puts neighbouring points one above the other, which the fit in x alone could not take.
TEST(QuadraticTangent, FollowsTheWindowWhateverItsOrientation) {
  const double us[] = {-1, 0, 0.7, 2, 3}, a = 0.4, b = -a * (us[0] + us[4]);
  for (const double degrees : {0.0, 30.0, 90.0, 137.0, 180.0, 270.0}) {
    const double turn = degrees * std::numbers::pi / 180;
    Row xs(5), ys(5);
    for (int j = 0; j < 5; ++j) {
      const Eigen::RowVector2d p = turned(us[j], a * us[j] * us[j] + b * us[j], turn, 120, -45);
      xs(j) = p(0), ys(j) = p(1);
    }
    const Tangent t = quadratic_tangent(xs, ys, xs(1), ys(1));
    const Eigen::RowVector2d want = turned(1, b, turn) / std::hypot(1.0, b);
    EXPECT_NEAR(t.x, want(0), 1e-13) << degrees << " degrees";
    EXPECT_NEAR(t.y, want(1), 1e-13) << degrees << " degrees";
  }
}

// The rule against an independent least-squares solution (normal equations in long double)
// of the same fit in the chord frame, on jittered windows near and far from the origin.
TEST(QuadraticTangent, EqualsTheLeastSquaresFitInTheChordFrame) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> jitter(-0.2, 0.2);
  for (const double offset : {0.0, 50.0, -3000.0}) {
    for (const int w : {5, 6}) {
      Row xs(w), ys(w);
      for (int j = 0; j < w; ++j) {
        xs(j) = offset + j + jitter(gen);
        ys(j) = std::sin(0.7 * j) + jitter(gen);
      }
      const double cl = std::hypot(xs(w - 1) - xs(0), ys(w - 1) - ys(0));
      const double cx = (xs(w - 1) - xs(0)) / cl, cy = (ys(w - 1) - ys(0)) / cl;
      Row us(w), vs(w);
      for (int j = 0; j < w; ++j) {
        const double dx = xs(j) - xs(2), dy = ys(j) - ys(2);
        us(j) = dx * cx + dy * cy;
        vs(j) = dy * cx - dx * cy;
      }
      const double b = normal_equation_slope(us, vs, 0);
      const Tangent t = quadratic_tangent(xs, ys, xs(2), ys(2));
      const double m = std::hypot(1.0, b);
      EXPECT_NEAR(t.x, (cx - b * cy) / m, 1e-10) << "offset " << offset << " w " << w;
      EXPECT_NEAR(t.y, (cy + b * cx) / m, 1e-10) << "offset " << offset << " w " << w;
    }
  }
}

TEST(QuadraticTangent, WindowWhoseEndsCoincideHasNoTangent) {
  const Tangent t = quadratic_tangent(row({0, 1, 2, 1, 0}), row({0, 1, 0, -1, 0}), 2, 0);
  EXPECT_FALSE(std::isfinite(t.x));
  EXPECT_FALSE(std::isfinite(t.y));
}

// A wavy closed outline or an open arc, jittered, as a digitiser places points.
Row wavy_curve(Index k, bool closed) {
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> u(-1, 1);
  Row xs(k), ys(k);
  for (Index i = 0; i < k; ++i) {
    const double s = (double(i) + 0.3 * u(gen)) / double(k);
    const double a = 2 * std::numbers::pi * s,
                 r = 1 + 0.2 * std::cos(2 * a) + 0.1 * std::sin(3 * a);
    xs(i) = closed ? 1.3 * r * std::cos(a) : 3 * s;
    ys(i) = closed ? r * std::sin(a) : 0.4 * std::sin(5 * s) + 0.2 * s * s;
    xs(i) += 0.01 * u(gen), ys(i) += 0.01 * u(gen);
  }
  return interleave(xs, ys);
}

Row turned_row(const Row& r, double turn, double dx, double dy) {
  Row out(r.size());
  for (Index i = 0; i < r.size(); i += 2) {
    const Eigen::RowVector2d p = turned(r(i), r(i + 1), turn, dx, dy);
    out(i) = p(0);
    out(i + 1) = p(1);
  }
  return out;
}

// Turning a curve turns every tangent of all three builders with it: open and closed curves,
// by 30, 90 and 137 degrees (the 90-degree turn stands the open arc's points one above the
// other near its ends).
TEST(UMatrices, TangentsTurnWithTheCurve) {
  for (const bool closed : {false, true}) {
    const Row curve = wavy_curve(12, closed);
    for (const double degrees : {30.0, 90.0, 137.0}) {
      const double turn = degrees * std::numbers::pi / 180;
      const Row moved = turned_row(curve, turn, -7.5, 260);
      for (const auto& maker :
           {quadratic_tangent_basis, bending_slide_basis, chord_tangent_basis}) {
        const Matrix before = maker(curve, closed), after = maker(moved, closed);
        const Index half = before.rows() / 2;
        for (Index c = 1; c <= before.cols(); ++c) {
          const Tangent b = column_tangent(before, c, half), a = column_tangent(after, c, half);
          const Eigen::RowVector2d want = turned(b.x, b.y, turn);
          EXPECT_NEAR(a.x, want(0), 1e-12)
              << degrees << " degrees, closed " << closed << ", column " << c;
          EXPECT_NEAR(a.y, want(1), 1e-12)
              << degrees << " degrees, closed " << closed << ", column " << c;
        }
      }
    }
  }
}

// A stretch of curve running straight up (neighbours with equal x) slides along itself.
TEST(UMatrices, VerticalStretchGivesVerticalTangents) {
  const Row curve = row({0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0.5, 5, 1.5, 5.5});
  for (const auto& maker : {quadratic_tangent_basis, bending_slide_basis, chord_tangent_basis}) {
    const Matrix u = maker(curve, false);
    ASSERT_TRUE(u.allFinite());
    const Index half = u.rows() / 2,
                shift = u.cols() == 7 ? 0 : 1;  // bending_slide_basis: interior only
    for (const Index p : {2, 3}) {              // windows and chords wholly on the vertical stretch
      const Tangent t = column_tangent(u, p - shift, half);
      EXPECT_NEAR(std::abs(t.y), 1.0, 1e-12) << "point " << p;
    }
  }
}

TEST(BendingSlideBasis, OpenCurveKeepsInteriorTangentsInTheReducedLayout) {
  Row xs(9), ys(9);
  for (Index i = 0; i < 9; ++i) {
    xs(i) = 0.5 * double(i) + 0.05 * double(i * i % 3);
    ys(i) = std::sin(xs(i));
  }
  const Row target = interleave(xs, ys);
  const Matrix full = quadratic_tangent_basis(target, false),
               reduced = bending_slide_basis(target, false);
  const Index m = 9 - 2;
  ASSERT_EQ(reduced.rows(), 2 * m);
  ASSERT_EQ(reduced.cols(), m);
  for (Index j = 1; j <= m; ++j) {
    // Column j belongs to point j+1 and has its non-zeros in rows j and j+m only.
    const Tangent t = column_tangent(reduced, j, m), want = column_tangent(full, j + 1, 9);
    EXPECT_DOUBLE_EQ(t.x, want.x) << "column " << j;
    EXPECT_DOUBLE_EQ(t.y, want.y) << "column " << j;
    EXPECT_EQ((reduced.col(j - 1).array() != 0).count(), 2) << "column " << j;
  }
}

struct Maker {
  const char* name;
  std::function<Matrix(const Row&, bool)> make;
};
const Maker kMakers[] = {{"umaker", quadratic_tangent_basis},
                         {"umaker2", bending_slide_basis},
                         {"umakera", chord_tangent_basis}};

class UMatrixLayout : public ::testing::TestWithParam<Maker> {};

TEST_P(UMatrixLayout, ClosedCurveHasOneUnitColumnPerPoint) {
  const Index k = 11;
  const Matrix u = GetParam().make(circle(k, 2.0, 0.1, 3, -1), true);
  ASSERT_EQ(u.rows(), 2 * k);
  ASSERT_EQ(u.cols(), k);
  for (Index i = 1; i <= k; ++i) {
    EXPECT_NEAR(u.col(i - 1).norm(), 1.0, 1e-12) << "column " << i;
    EXPECT_EQ((u.col(i - 1).array() != 0).count(), 2) << "column " << i;
    EXPECT_NE(u(i - 1, i - 1), 0.0);
    EXPECT_NE(u(k + i - 1, i - 1), 0.0);
  }
}

TEST_P(UMatrixLayout, CollinearPointsSlideAlongTheirLine) {
  const Row xs = row({0, 0.4, 1.5, 2.0, 3.1, 3.3, 4.7});
  const Row ys = (2 * xs.array() + 1).matrix();
  const Matrix u = GetParam().make(interleave(xs, ys), false);
  const Index half = u.rows() / 2;
  for (Index c = 1; c <= u.cols(); ++c) {
    const Tangent t = column_tangent(u, c, half);
    EXPECT_NEAR(t.y, 2 * t.x, 1e-12) << "column " << c;
    EXPECT_NEAR(std::hypot(t.x, t.y), 1.0, 1e-12) << "column " << c;
  }
}

TEST_P(UMatrixLayout, RefusesCurvesTooShortForTheirWindows) {
  EXPECT_THAT([&] { GetParam().make(circle(2), true); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("of 2 points is too short")));
  EXPECT_THAT(
      [&] {
        GetParam().make(row({0, 0, 1, 1, 2}), true);
      },
      ::testing::ThrowsMessage<Error>(::testing::HasSubstr("has 5 numbers")));
}

INSTANTIATE_TEST_SUITE_P(Makers, UMatrixLayout, ::testing::ValuesIn(kMakers),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(QuadraticTangentBasis, OpenCurveNeedsSixPoints) {
  const Row five = row({0, 0, 1, 1, 2, 4, 3, 9, 4, 16});
  for (const auto& maker : {quadratic_tangent_basis, bending_slide_basis})
    EXPECT_THAT([&] { maker(five, false); },
                ::testing::ThrowsMessage<Error>(::testing::HasSubstr("at least 6 points")));
}

// On points equally spaced round a circle every centred window is symmetric about the
// radius through its middle point, so the fit in the chord's frame has no linear term and the
// tangent is the circle's own, at every point (also where the circle runs vertically); it points
// along the listed order (anticlockwise here). Both builders give the same tangents.
TEST(BendingSlideBasis, ClosedCircleTangentsAreTheCircles) {
  const Index k = 72;
  const Row target = circle(k, 1.0, 0.1);
  const Matrix u2 = bending_slide_basis(target, true), u = quadratic_tangent_basis(target, true);
  for (Index i = 1; i <= k; ++i) {
    const double cx = target(2 * i - 2), cy = target(2 * i - 1);
    const Tangent t2 = column_tangent(u2, i, k), t = column_tangent(u, i, k);
    EXPECT_NEAR(t2.x, -cy, 1e-12) << "point " << i;
    EXPECT_NEAR(t2.y, cx, 1e-12) << "point " << i;
    EXPECT_EQ(t.x, t2.x) << "point " << i;
    EXPECT_EQ(t.y, t2.y) << "point " << i;
  }
}

TEST(ChordTangentBasis, ChordIgnoresThePointItselfButOpenEndsDoNot) {
  Row target = circle(8, 1.0, 0.3);
  for (const bool closed : {true, false}) {
    const Matrix before = chord_tangent_basis(target, closed);
    for (const Index p : {1, 4, 8}) {
      Row moved = target;
      moved(2 * p - 2) += 0.3;
      moved(2 * p - 1) -= 0.2;
      const Matrix after = chord_tangent_basis(moved, closed);
      const bool open_end = !closed && (p == 1 || p == 8);
      const double change = (after.col(p - 1) - before.col(p - 1)).norm();
      if (open_end) {
        EXPECT_GT(change, 1e-3) << "point " << p;
      } else {
        EXPECT_EQ(change, 0.0) << "point " << p << " closed " << closed;
      }
    }
  }
}

TEST(ChordTangentBasis, ChordRunsFromTheNextPointToThePreviousOne) {
  // Closed, k = 3: point 2's chord runs from point 3 towards point 1.
  const Matrix u = chord_tangent_basis(row({0, 0, 2, 2, 5, 1}), true);
  const double m = std::hypot(5.0, 1.0);
  EXPECT_NEAR(u(1, 1), -5 / m, 1e-15);
  EXPECT_NEAR(u(4, 1), -1 / m, 1e-15);
}

}  // namespace
}  // namespace tav
