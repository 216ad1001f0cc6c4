#include "sliding/bending_slide.h"

#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sliding/bending_fixtures.h"
#include "support/test_support.h"

namespace tav {
namespace {

// Unit tangents by central chords (any directions do for the solver).
SlideDirections chord_directions(const Row& curve, bool closed) {
  const Index q = curve.size() / 2;
  SlideDirections d;
  const Index first = closed ? 0 : 1, last = closed ? q - 1 : q - 2;
  const Index cols = last - first + 1;
  d.tx.resize(cols);
  d.ty.resize(cols);
  for (Index p = first; p <= last; ++p) {
    const Index a = (p + q - 1) % q, b = (p + 1) % q, c = p - first;
    const double dx = curve(2 * b) - curve(2 * a), dy = curve(2 * b + 1) - curve(2 * a + 1);
    const double len = std::hypot(dx, dy);
    d.point.push_back(p);
    d.tx(c) = dx / len;
    d.ty(c) = dy / len;
  }
  return d;
}

struct SolverCase {
  const char* name;
  bool closed;
  Index q;
};

class BendingStepAlong : public ::testing::TestWithParam<SolverCase> {};

TEST_P(BendingStepAlong, EqualsTheDenseFormula) {
  const auto [name, closed, q] = GetParam();
  const Row ref = closed ? test::leaf_outline(q) : test::open_arc(q);
  const Row target = closed ? test::leaf_outline(q, 0.1, 0.2) : test::open_arc(q, 0.5, 0.04);
  const Matrix lf = bending_energy_matrix(ref);
  const SlideDirections d = chord_directions(target, closed);
  Row moved;
  SlideWorkspace ws;
  ASSERT_EQ(bending_step_along(target, d, curve_energy(lf), Eigen::VectorXd(), moved, ws),
            SlideStatus::ok);
  const Row expected = test::literal_step(test::dense_u(d, q), lf, target);
  EXPECT_LT(test::max_abs_diff(moved, expected), 1e-9);
  EXPECT_GT(test::max_abs_diff(moved, target), 1e-4);  // it did move
}

// With points outside the curve held fixed, the fixed term gives the step that minimises the
// energy of the whole configuration with U zero outside the curve's rows.
TEST_P(BendingStepAlong, FixedTermEqualsTheWholeConfigurationFormula) {
  const auto [name, closed, q] = GetParam();
  const Index extra = 5, k = q + extra;
  Row whole_ref(2 * k), whole(2 * k);
  whole_ref << (closed ? test::leaf_outline(q) : test::open_arc(q)),
      row({0.1, 2.0, -0.5, 1.5, 0.4, -1.2, 1.9, 0.8, -1.7, -0.9});
  whole << (closed ? test::leaf_outline(q, 0.1, 0.2) : test::open_arc(q, 0.5, 0.04)),
      row({0.2, 2.1, -0.4, 1.3, 0.5, -1.1, 2.0, 0.7, -1.8, -1.0});
  const Matrix lf = bending_energy_matrix(whole_ref);
  const Row curve = whole.head(2 * q);
  const SlideDirections d = chord_directions(curve, closed);

  // Curve block (points 0..q-1) and the fixed points' term.
  const Matrix lk = lf.topLeftCorner(k, k);
  Matrix lcurve = Matrix::Zero(2 * q, 2 * q);
  lcurve.topLeftCorner(q, q) = lk.topLeftCorner(q, q);
  lcurve.bottomRightCorner(q, q) = lk.topLeftCorner(q, q);
  const Eigen::VectorXd y = test::stacked(whole);
  Eigen::VectorXd g(2 * q);
  g << lk.block(0, q, q, extra) * y.segment(q, extra),
      lk.block(0, q, q, extra) * y.segment(k + q, extra);
  Row moved;
  SlideWorkspace ws;
  ASSERT_EQ(bending_step_along(curve, d, curve_energy(lcurve), g, moved, ws), SlideStatus::ok);

  const Matrix u = test::dense_u(d, k);  // the same columns, in rows of the k points
  const Row expected = test::literal_step(u, lf, whole);
  EXPECT_LT(test::max_abs_diff(moved, expected.head(2 * q)), 1e-9);
  // Leaving the term out is a different (wrong) step.
  Row without;
  ASSERT_EQ(bending_step_along(curve, d, curve_energy(lcurve), Eigen::VectorXd(), without, ws),
            SlideStatus::ok);
  EXPECT_GT(test::max_abs_diff(without, moved), 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Curves, BendingStepAlong,
                         ::testing::Values(SolverCase{"closed_12", true, 12},
                                           SolverCase{"closed_40", true, 40},
                                           SolverCase{"open_6", false, 6},
                                           SolverCase{"open_30", false, 30}),
                         [](const auto& i) { return std::string(i.param.name); });

// A form that couples x and y (not the block form of bending_energy_matrix) takes the general path.
TEST(BendingStepAlong, CoupledFormEqualsTheDenseFormula) {
  const Index q = 14;
  const Row target = test::leaf_outline(q, 0.1, 0.2);
  const Matrix a = Matrix::NullaryExpr(2 * q, 2 * q, [](Index i, Index j) {
    return std::sin(0.7 * static_cast<double>(i * 2 * q + j) + 0.3);
  });
  const Matrix l = a.transpose() * a + 5 * Matrix::Identity(2 * q, 2 * q);
  const SlideDirections d = chord_directions(target, true);
  const CurveEnergy e = curve_energy(l);
  ASSERT_FALSE(e.block_diagonal);
  Row moved;
  SlideWorkspace ws;
  ASSERT_EQ(bending_step_along(target, d, e, Eigen::VectorXd(), moved, ws), SlideStatus::ok);
  const Row expected = test::literal_step(test::dense_u(d, q), l, target);
  EXPECT_LT(test::max_abs_diff(moved, expected), 1e-9 * (1 + expected.cwiseAbs().maxCoeff()));
}

TEST(CurveEnergy, BlockAndGeneralPathsAgreeOnMakeLfinalsForm) {
  const Index q = 20;
  const Matrix lf = bending_energy_matrix(test::leaf_outline(q));
  const CurveEnergy block = curve_energy(lf), general{lf, false};
  ASSERT_TRUE(block.block_diagonal);
  EXPECT_EQ(block.l, lf.topLeftCorner(q, q));
  const Row target = test::leaf_outline(q, 0.1, 0.2);
  const SlideDirections d = chord_directions(target, true);
  Row a, b;
  SlideWorkspace ws;
  ASSERT_EQ(bending_step_along(target, d, block, Eigen::VectorXd(), a, ws), SlideStatus::ok);
  ASSERT_EQ(bending_step_along(target, d, general, Eigen::VectorXd(), b, ws), SlideStatus::ok);
  EXPECT_LT(test::max_abs_diff(a, b), 1e-12);
}

TEST(BendingStepAlong, ReportsASingularOrNonFiniteSystem) {
  const Row target = test::leaf_outline(10, 0.1);
  SlideDirections d = chord_directions(target, true);
  Row moved;
  SlideWorkspace ws;
  const Eigen::VectorXd none;
  EXPECT_EQ(bending_step_along(target, d, curve_energy(Matrix::Zero(20, 20)), none, moved, ws),
            SlideStatus::singular);
  d.tx(3) = NAN;
  const CurveEnergy e = curve_energy(bending_energy_matrix(test::leaf_outline(10)));
  EXPECT_EQ(bending_step_along(target, d, e, none, moved, ws), SlideStatus::not_finite);
}

TEST(SlideDirections, ReadsBothLayouts) {
  const Index q = 7;
  Matrix closed = Matrix::Zero(2 * q, q), open = Matrix::Zero(2 * q - 4, q - 2);
  for (Index c = 0; c < q; ++c) closed(c, c) = c + 1, closed(q + c, c) = -(c + 1);
  for (Index c = 0; c < q - 2; ++c) open(c, c) = c + 1, open(q - 2 + c, c) = -(c + 1);
  const SlideDirections dc = slide_directions(closed, q, true);
  const SlideDirections dopen = slide_directions(open, q, false);
  ASSERT_EQ(dc.point.size(), 7u);
  ASSERT_EQ(dopen.point.size(), 5u);
  EXPECT_EQ(dc.point[6], 6);
  EXPECT_EQ(dopen.point[0], 1);
  EXPECT_EQ(dopen.point[4], 5);
  EXPECT_EQ(dopen.tx(4), 5);
  EXPECT_EQ(dopen.ty(4), -5);
  EXPECT_EQ(dc.ty(6), -7);
  EXPECT_THROW(slide_directions(open, q, true), Error);
}

struct ShortCurve {
  const char* name;
  Index q;
  bool closed;
  bool ok;
};

class CheckSlideCurve : public ::testing::TestWithParam<ShortCurve> {};

TEST_P(CheckSlideCurve, NamesTheCurveAndItsLength) {
  const ShortCurve& c = GetParam();
  if (c.ok) {
    EXPECT_NO_THROW(check_slide_curve(c.q, c.closed, "curve 3"));
    return;
  }
  try {
    check_slide_curve(c.q, c.closed, "curve 3");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("curve 3 has " + std::to_string(c.q) + " points"));
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, CheckSlideCurve,
                         ::testing::Values(ShortCurve{"open_5", 5, false, false},
                                           ShortCurve{"open_6", 6, false, true},
                                           ShortCurve{"closed_2", 2, true, false},
                                           ShortCurve{"closed_3", 3, true, true}),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tav
