// The quadratic-fit rule and the three U-matrix builders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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

TEST(QuadraticTangent, ParabolaWindowGivesItsExactTangent) {
  const Tangent t = quadratic_tangent(row({-2, -1, 0, 1, 2}), row({4, 1, 0, 1, 4}), 1, 0.3);
  EXPECT_NEAR(t.x, 1 / std::sqrt(5.0), 1e-14);
  EXPECT_NEAR(t.y, 2 / std::sqrt(5.0), 1e-14);
}

TEST(QuadraticTangent, EqualsTheLeastSquaresSlopeOnScatteredWindows) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> jitter(-0.2, 0.2);
  for (const double offset : {0.0, 50.0, -3000.0}) {
    for (const int w : {5, 6}) {
      Row xs(w), ys(w);
      for (int j = 0; j < w; ++j) {
        xs(j) = offset + j + jitter(gen);
        ys(j) = std::sin(0.7 * j) + jitter(gen);
      }
      const double x0 = xs(2), dx = xs(3) - xs(2);
      const double slope = normal_equation_slope(xs.array() - offset, ys, x0 - offset);
      const Tangent t = quadratic_tangent(xs, ys, x0, dx);
      const double m = std::hypot(1.0, slope);
      EXPECT_NEAR(t.x, 1 / m, 1e-10) << "offset " << offset << " w " << w;
      EXPECT_NEAR(t.y, slope / m, 1e-10) << "offset " << offset << " w " << w;
    }
  }
}

// Open curve on y = x² at x = -3..3 in either direction: every quadratic-fit tangent is the
// parabola's tangent with the sign of the forward difference of x.
TEST(Umaker, OpenParabolaTangentsAreExact) {
  for (const double dir : {1.0, -1.0}) {
    Row xs(7);
    for (Index i = 0; i < 7; ++i) xs(i) = dir * double(i - 3);
    const Row ys = xs.array().square();
    const Matrix u = umaker(interleave(xs, ys), false);
    ASSERT_EQ(u.rows(), 14);
    ASSERT_EQ(u.cols(), 7);
    for (Index p = 1; p <= 7; ++p) {
      const double x = xs(p - 1), m = std::sqrt(1 + 4 * x * x);
      const Tangent t = column_tangent(u, p, 7);
      EXPECT_NEAR(t.x, dir / m, 1e-12) << "point " << p << " dir " << dir;
      EXPECT_NEAR(t.y, dir * 2 * x / m, 1e-12) << "point " << p << " dir " << dir;
    }
  }
}

TEST(Umaker2, OpenCurveKeepsInteriorTangentsInTheReducedLayout) {
  Row xs(9), ys(9);
  for (Index i = 0; i < 9; ++i) {
    xs(i) = 0.5 * double(i) + 0.05 * double(i * i % 3);
    ys(i) = std::sin(xs(i));
  }
  const Row target = interleave(xs, ys);
  const Matrix full = umaker(target, false), reduced = umaker2(target, false);
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
const Maker kMakers[] = {{"umaker", umaker}, {"umaker2", umaker2}, {"umakera", umakera}};

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
  EXPECT_THAT([&] { GetParam().make(row({0, 0, 1, 1, 2}), true); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("has 5 numbers")));
}

INSTANTIATE_TEST_SUITE_P(Makers, UMatrixLayout, ::testing::ValuesIn(kMakers),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(Umaker, OpenCurveNeedsSixPoints) {
  const Row five = row({0, 0, 1, 1, 2, 4, 3, 9, 4, 16});
  for (const auto& maker : {umaker, umaker2})
    EXPECT_THAT([&] { maker(five, false); },
                ::testing::ThrowsMessage<Error>(::testing::HasSubstr("at least 6 points")));
}

// Away from the circle's leftmost and rightmost points (where x stalls and the fit in x is
// ill-posed) the quadratic fit follows the circle: tangent nearly perpendicular to the radius.
// A parabola misses the arc's cubic term: for |x| < 0.5 and 5-degree spacing that tilts the
// tangent by up to about 0.57 |y'''| h^2, near 0.01.
TEST(Umaker2, ClosedCircleTangentsFollowTheCircleAndPointRight) {
  const Index k = 72;  // 5 degrees apart: a five-point window spans 20 degrees of arc
  const Row target = circle(k, 1.0, 0.1);
  const Matrix u2 = umaker2(target, true), u = umaker(target, true);
  for (Index i = 1; i <= k; ++i) {
    const double cx = target(2 * i - 2), cy = target(2 * i - 1);
    const Tangent t2 = column_tangent(u2, i, k), t = column_tangent(u, i, k);
    EXPECT_GT(t2.x, 0.0) << "point " << i;
    const double forward = target(2 * (i % k)) - cx;
    EXPECT_GT(t.x * forward, 0.0) << "point " << i;
    if (std::abs(cx) < 0.5) {
      EXPECT_NEAR(t2.x * cx + t2.y * cy, 0.0, 1.2e-2) << "point " << i;
    }
  }
}

TEST(Umakera, ChordIgnoresThePointItselfButOpenEndsDoNot) {
  Row target = circle(8, 1.0, 0.3);
  for (const bool closed : {true, false}) {
    const Matrix before = umakera(target, closed);
    for (const Index p : {1, 4, 8}) {
      Row moved = target;
      moved(2 * p - 2) += 0.3;
      moved(2 * p - 1) -= 0.2;
      const Matrix after = umakera(moved, closed);
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

TEST(Umakera, ChordRunsFromTheNextPointToThePreviousOne) {
  // Closed, k = 3: point 2's chord runs from point 3 towards point 1.
  const Matrix u = umakera(row({0, 0, 2, 2, 5, 1}), true);
  const double m = std::hypot(5.0, 1.0);
  EXPECT_NEAR(u(1, 1), -5 / m, 1e-15);
  EXPECT_NEAR(u(4, 1), -1 / m, 1e-15);
}

}  // namespace
}  // namespace tav
