// The direct tangent computation of the bending-energy step against bending_slide_basis's matrix.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <string>

#include "sliding/bending_slide.h"

namespace tav {
namespace {

// A wavy closed outline or an open arc of q points with uneven spacing and jitter, turned,
// scaled and shifted at random; the shape of both changes with the seed.
Row random_curve(Index q, bool closed, unsigned seed, double offset) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1, 1);
  const double a2 = 0.3 * u(gen), a3 = 0.15 * u(gen), turn = std::numbers::pi * u(gen);
  const double scale = std::exp(3 * u(gen)), jitter = 0.01 * (1 + u(gen));
  Row r(2 * q);
  for (Index i = 0; i < q; ++i) {
    const double s = (static_cast<double>(i) + 0.35 * u(gen)) / static_cast<double>(q);
    double x, y;
    if (closed) {
      const double t = 2 * std::numbers::pi * s;
      const double rad = 1 + a2 * std::cos(2 * t) + a3 * std::sin(3 * t);
      x = 1.4 * rad * std::cos(t);
      y = rad * std::sin(t);
    } else {
      x = 2 * s;
      y = a2 * std::sin(3 * s) + a3 * x * x;
    }
    x += jitter * u(gen);
    y += jitter * u(gen);
    r(2 * i) = scale * (std::cos(turn) * x - std::sin(turn) * y) + offset;
    r(2 * i + 1) = scale * (std::sin(turn) * x + std::cos(turn) * y) - 0.5 * offset;
  }
  return r;
}

// The tangent components agree to rounding. bending_slide_basis fits the ordinates as they are, so
// far from the origin its own rounding grows with the curve's distance over its size.
void expect_same_directions(const SlideDirections& fast, const SlideDirections& ref,
                            const Row& curve, const std::string& what) {
  ASSERT_EQ(fast.point, ref.point) << what;
  double size = 0;
  for (const Index from : {0, 1}) {  // the x, then the y coordinates
    double lo = curve(from), hi = curve(from);
    for (Index j = from; j < curve.size(); j += 2)
      lo = std::min(lo, curve(j)), hi = std::max(hi, curve(j));
    size = std::max(size, hi - lo);
  }
  const double tol = 1e-12 * std::max(1.0, curve.cwiseAbs().maxCoeff() / size);
  for (Index c = 0; c < ref.tx.size(); ++c) {
    EXPECT_NEAR(fast.tx(c), ref.tx(c), tol) << what << ", column " << c;
    EXPECT_NEAR(fast.ty(c), ref.ty(c), tol) << what << ", column " << c;
  }
}

struct TangentCase {
  const char* name;
  bool closed;
  Index q;
  double offset;
};

class SlideTangents : public ::testing::TestWithParam<TangentCase> {};

TEST_P(SlideTangents, EqualUmaker2ColumnsOnRandomCurves) {
  const auto [name, closed, q, offset] = GetParam();
  for (unsigned seed = 1; seed <= 40; ++seed) {
    const Row curve = random_curve(q, closed, seed, offset);
    SlideDirections fast;
    slide_tangents(curve, closed, fast);
    expect_same_directions(fast, slide_directions(bending_slide_basis(curve, closed), q, closed),
                           curve, std::string(name) + ", seed " + std::to_string(seed));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Curves, SlideTangents,
    ::testing::Values(TangentCase{"closed3", true, 3, 0}, TangentCase{"closed7", true, 7, 0},
                      TangentCase{"closed50", true, 50, 0},
                      TangentCase{"closed50far", true, 50, 300}, TangentCase{"open6", false, 6, 0},
                      TangentCase{"open7", false, 7, 0}, TangentCase{"open32", false, 32, 0},
                      TangentCase{"open32far", false, 32, -250}),
    [](const auto& info) { return std::string(info.param.name); });

// A window folded back on itself (its points stand at only two distances along its chord) has
// no unique fit; a window whose ends coincide has no frame. Both paths give what the
// rank-revealing solve gives (its basic solution, or values that are not numbers).
TEST(SlideTangentsDegenerate, FoldedWindowsGiveUmaker2sColumns) {
  const Row curve = row({0, 0, 0, 1, 2, 1, 2, -1, 2, 0, 0, 1, 3, 0});  // points 2 and 6 coincide
  const auto same = [](double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) <= 1e-12;
  };
  for (const bool closed : {false, true}) {
    SlideDirections fast;
    slide_tangents(curve, closed, fast);
    const SlideDirections ref = slide_directions(bending_slide_basis(curve, closed), 7, closed);
    ASSERT_EQ(fast.point, ref.point);
    for (Index c = 0; c < ref.tx.size(); ++c) {
      EXPECT_PRED2(same, fast.tx(c), ref.tx(c)) << "closed " << closed << ", column " << c;
      EXPECT_PRED2(same, fast.ty(c), ref.ty(c)) << "closed " << closed << ", column " << c;
    }
  }
}

TEST(SlideTangentsDegenerate, RefusesCurvesTooShortToSlide) {
  SlideDirections d;
  EXPECT_THROW(slide_tangents(row({0, 0, 1, 1, 2, 0, 3, 1, 4, 0}), false, d), Error);
  EXPECT_THROW(slide_tangents(row({0, 0, 1, 1}), true, d), Error);
}

}  // namespace
}  // namespace tav
