// The factorisation and the bending step at every vector width this processor runs, against
// answers computed independently (Eigen's dense factorisations and the literal formula).
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

#include "platform/error.h"
#include "platform/vector_width.h"
#include "sliding/bending_fixtures.h"
#include "sliding/bending_slide.h"
#include "sliding/cholesky.h"
#include "support/test_support.h"

namespace tav {
namespace {

// Runs body once per supported width, the kernels switched to it; the widest afterwards.
template <class F>
void at_every_width(F&& body) {
  for (const VectorWidth w : supported_vector_widths()) {
    use_vector_width(w);
    SCOPED_TRACE(vector_width_name(w));
    body();
  }
  use_vector_width(supported_vector_widths().back());
}

// A symmetric positive definite n×n matrix with eigenvalues from 1 down to 1/condition,
// spread evenly on a log scale, in a random orthogonal basis.
Matrix spd_with_condition(Index n, double condition, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> g;
  const Matrix r = Matrix::NullaryExpr(n, n, [&](Index, Index) { return g(gen); });
  const Matrix q = Eigen::HouseholderQR<Matrix>(r).householderQ();
  Eigen::VectorXd ev(n);
  for (Index i = 0; i < n; ++i)
    ev(i) = std::pow(condition,
                     -static_cast<double>(i) / static_cast<double>(std::max<Index>(n - 1, 1)));
  return q * ev.asDiagonal() * q.transpose();
}

void load_lower(SmallCholesky& c, const Matrix& a) {
  c.resize(a.rows());
  for (Index j = 0; j < a.cols(); ++j)
    for (Index i = j; i < a.rows(); ++i) c.lower(i, j) = a(i, j);
}

// Sizes below, at and past the panel width and the row blocks of eight, and around a hundred
// (a long curve); conditions from benign to 1e12. The error allowed grows with the condition
// as a backward-stable solve's does.
TEST(KernelWidths, CholeskySolvesAsTheDenseFactorisationDoes) {
  at_every_width([] {
    SmallCholesky c;
    for (const Index n : {8, 9, 12, 13, 17, 31, 50, 97, 100, 101})
      for (const double condition : {10.0, 1e6, 1e12}) {
        const Matrix a = spd_with_condition(n, condition, static_cast<unsigned>(n));
        const Eigen::VectorXd want = Eigen::VectorXd::LinSpaced(n, -1, 2);
        const Eigen::VectorXd b = a * want;
        load_lower(c, a);
        ASSERT_TRUE(c.factor()) << n << " " << condition;
        Eigen::VectorXd x = b;
        c.solve(x);
        const double eps = std::numeric_limits<double>::epsilon();
        EXPECT_LT((a * x - b).norm(), 50 * n * eps * (b.norm() + x.norm()))
            << n << " " << condition;
        EXPECT_LT((x - want).norm(), 50 * n * eps * condition * want.norm())
            << n << " " << condition;
        const Matrix g = a.llt().matrixL();
        for (const Index j : {Index{0}, n / 2, n - 1})
          EXPECT_NEAR(c.diagonal(j), g(j, j), 1e-8 * g(0, 0)) << n << " " << condition << " " << j;
      }
  });
}

TEST(KernelWidths, CholeskyRefusesWhatIsNotPositiveDefinite) {
  at_every_width([] {
    SmallCholesky c;
    for (const Index n : {9, 100}) {
      Matrix indefinite = spd_with_condition(n, 10, 3);
      indefinite(n - 2, n - 2) = -1;
      Matrix not_a_number = spd_with_condition(n, 10, 4);
      not_a_number(n - 1, 5) = std::numeric_limits<double>::quiet_NaN();
      Matrix rank_deficient = Matrix::Ones(n, n);
      for (const Matrix* m : {&indefinite, &not_a_number, &rank_deficient}) {
        load_lower(c, *m);
        EXPECT_FALSE(c.factor()) << n;
      }
      load_lower(c, spd_with_condition(n, 10, 5));  // the workspace recovers after a failure
      EXPECT_TRUE(c.factor()) << n;
    }
  });
}

// Unit chord tangents of a curve's sliding points (any directions do for the solver).
SlideDirections chords(const Row& curve, bool closed) {
  const Index q = curve.size() / 2;
  const Index first = closed ? 0 : 1, cols = closed ? q : q - 2;
  SlideDirections d;
  d.tx.resize(cols);
  d.ty.resize(cols);
  for (Index c = 0; c < cols; ++c) {
    const Index p = first + c, a = (p + q - 1) % q, b = (p + 1) % q;
    const double dx = curve(2 * b) - curve(2 * a), dy = curve(2 * b + 1) - curve(2 * a + 1);
    d.point.push_back(p);
    d.tx(c) = dx / std::hypot(dx, dy);
    d.ty(c) = dy / std::hypot(dx, dy);
  }
  return d;
}

// The step on closed and open curves of 8 to 120 points (the stacked product's blocks of
// sixteen and eight rows and their overlapping last block, the system's columns), against the
// dense formula.
TEST(KernelWidths, BendingStepEqualsTheDenseFormula) {
  struct Case {
    bool closed;
    Index q;
  };
  at_every_width([] {
    for (const Case k :
         {Case{true, 8}, Case{true, 9}, Case{true, 23}, Case{true, 50}, Case{true, 100},
          Case{false, 10}, Case{false, 33}, Case{false, 101}, Case{true, 120}}) {
      const Row ref = k.closed ? test::leaf_outline(k.q) : test::open_arc(k.q);
      const Row target =
          k.closed ? test::leaf_outline(k.q, 0.1, 0.2) : test::open_arc(k.q, 0.5, 0.04);
      const Matrix lf = bending_energy_matrix(ref);
      const SlideDirections d = chords(target, k.closed);
      Row moved;
      SlideWorkspace ws;
      ASSERT_EQ(bending_step_along(target, d, curve_energy(lf), Eigen::VectorXd(), moved, ws),
                SlideStatus::ok)
          << k.q;
      const Row expected = test::literal_step(test::dense_u(d, k.q), lf, target);
      EXPECT_LT(test::max_abs_diff(moved, expected), 1e-8) << k.closed << " " << k.q;
      EXPECT_GT(test::max_abs_diff(moved, target), 1e-5) << k.q;  // it did move
    }
  });
}

// The whole step with its own tangents, every width against the plain one: equal to rounding.
TEST(KernelWidths, BendingStepsAgreeAcrossWidths) {
  for (const Index q : {8, 57, 100}) {
    const Row target = test::leaf_outline(q, 0.08, 0.4);
    const CurveEnergy e = curve_energy(bending_energy_matrix(test::leaf_outline(q)));
    Row plain, moved;
    SlideWorkspace ws;
    use_vector_width(VectorWidth::plain);
    ASSERT_EQ(bending_step(target, true, e, Eigen::VectorXd(), plain, ws), SlideStatus::ok);
    at_every_width([&] {
      ASSERT_EQ(bending_step(target, true, e, Eigen::VectorXd(), moved, ws), SlideStatus::ok);
      EXPECT_LT(test::max_abs_diff(moved, plain), 1e-10) << q;
    });
  }
}

// A closed square of 4·side points: the windows on its vertical sides have equal abscissas,
// so their fits are left to the rank-revealing solve, lane by lane.
Row square(Index side) {
  Row r(8 * side);
  for (Index i = 0; i < 4 * side; ++i) {
    const double s = static_cast<double>(i % side) / static_cast<double>(side);
    const double corner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}},
                 step[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    const Index k = i / side;
    r(2 * i) = corner[k][0] + s * step[k][0];
    r(2 * i + 1) = corner[k][1] + s * step[k][1];
  }
  return r;
}

// The tangents, eight windows at a time, against bending_slide_basis's dense matrix.
TEST(KernelWidths, TangentsEqualUmaker2Columns) {
  struct Case {
    const char* name;
    bool closed;
    Row curve;
  };
  const Case cases[] = {{"closed 8", true, test::leaf_outline(8, 0.05, 0.3)},
                        {"closed 9", true, test::leaf_outline(9, 0.05, 1.3)},
                        {"closed 100", true, test::leaf_outline(100, 0.02, 2.0)},
                        {"open 10", false, test::open_arc(10, 0.5, 0.04)},
                        {"open 101", false, test::open_arc(101, 0.3, 0.02)},
                        {"square of 48", true, square(12)}};
  at_every_width([&] {
    for (const Case& k : cases) {
      const Index q = k.curve.size() / 2;
      SlideDirections fast;
      slide_tangents(k.curve, k.closed, fast);
      const SlideDirections ref =
          slide_directions(bending_slide_basis(k.curve, k.closed), q, k.closed);
      ASSERT_EQ(fast.point, ref.point) << k.name;
      EXPECT_LT((fast.tx - ref.tx).cwiseAbs().maxCoeff(), 1e-11) << k.name;
      EXPECT_LT((fast.ty - ref.ty).cwiseAbs().maxCoeff(), 1e-11) << k.name;
    }
  });
}

TEST(KernelWidths, PlainIsAlwaysThereAndAnUnsupportedWidthIsRefused) {
  const auto& all = supported_vector_widths();
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.front(), VectorWidth::plain);
  EXPECT_EQ(kernel_width(), all.back());
  if (all.back() != VectorWidth::avx512) {
    EXPECT_THROW(use_vector_width(VectorWidth::avx512), Error);
  }
}

}  // namespace
}  // namespace tav
