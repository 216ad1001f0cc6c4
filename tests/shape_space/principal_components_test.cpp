// The components against an independent computation in long double: the tangent coordinates,
// their covariance and a cyclic Jacobi eigen-solver written here, on both routes of the library
// (covariance when there are more specimens than variables, Gram matrix otherwise).
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

#include "consensus/consensus.h"
#include "consensus/varied_samples.h"
#include "shape_space/shape_space.h"

namespace tav {
namespace {

using LMatrix = Eigen::Matrix<long double, Eigen::Dynamic, Eigen::Dynamic>;

// Rows centred and scaled to unit size, then projected at mu (itself centred, unit size).
LMatrix tangent_by_hand(const Matrix& rows, const Row& consensus, Index k) {
  const auto unit = [k](Eigen::Matrix<long double, 1, Eigen::Dynamic> r) {
    long double cx = 0, cy = 0, s = 0;
    for (Index p = 0; p < k; ++p) cx += r(2 * p), cy += r(2 * p + 1);
    for (Index p = 0; p < k; ++p) r(2 * p) -= cx / k, r(2 * p + 1) -= cy / k;
    for (Index p = 0; p < 2 * k; ++p) s += r(p) * r(p);
    return Eigen::Matrix<long double, 1, Eigen::Dynamic>(r / std::sqrt(s));
  };
  const auto mu = unit(consensus.head(2 * k).cast<long double>());
  LMatrix t(rows.rows(), 2 * k);
  for (Index i = 0; i < rows.rows(); ++i) {
    const auto x = unit(rows.row(i).head(2 * k).cast<long double>());
    t.row(i) = x - x.dot(mu) * mu + mu;
  }
  return t;
}

// Cyclic Jacobi rotations on a symmetric matrix until its off-diagonal vanishes; the
// eigenvalues largest first, each eigenvector's largest-magnitude entry positive.
void jacobi(LMatrix a, std::vector<long double>& values, LMatrix& vectors) {
  const Index p = a.rows();
  LMatrix v = LMatrix::Identity(p, p);
  for (int sweep = 0; sweep < 100; ++sweep) {
    long double off = 0;
    for (Index i = 0; i < p; ++i)
      for (Index j = i + 1; j < p; ++j) off += a(i, j) * a(i, j);
    if (off < 1e-60L) break;
    for (Index i = 0; i < p; ++i)
      for (Index j = i + 1; j < p; ++j) {
        if (a(i, j) == 0) continue;
        const long double theta = (a(j, j) - a(i, i)) / (2 * a(i, j));
        const long double t =
            (theta >= 0 ? 1 : -1) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
        const long double c = 1 / std::sqrt(t * t + 1), s = t * c;
        for (Index r = 0; r < p; ++r) {  // a <- a J, then J' a
          const long double ari = a(r, i), arj = a(r, j);
          a(r, i) = c * ari - s * arj, a(r, j) = s * ari + c * arj;
        }
        for (Index r = 0; r < p; ++r) {
          const long double air = a(i, r), ajr = a(j, r);
          a(i, r) = c * air - s * ajr, a(j, r) = s * air + c * ajr;
        }
        for (Index r = 0; r < p; ++r) {
          const long double vri = v(r, i), vrj = v(r, j);
          v(r, i) = c * vri - s * vrj, v(r, j) = s * vri + c * vrj;
        }
      }
  }
  std::vector<Index> order(static_cast<size_t>(p));
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](Index x, Index y) { return a(x, x) > a(y, y); });
  values.clear();
  vectors.resize(p, p);
  for (Index j = 0; j < p; ++j) {
    const Index o = order[static_cast<size_t>(j)];
    values.push_back(a(o, o));
    Index at = 0;
    v.col(o).cwiseAbs().maxCoeff(&at);
    vectors.col(j) = v(at, o) < 0 ? LMatrix(-v.col(o)) : LMatrix(v.col(o));
  }
}

struct Case {
  const char* name;
  int specimens;
};
class ComponentsAgainstJacobi : public ::testing::TestWithParam<Case> {};

TEST_P(ComponentsAgainstJacobi, EigenvaluesLoadingsAndScoresAgreeTo1e10) {
  const test::Design d = test::design();
  const Consensus plain =
      plain_consensus(test::varied_sample(d, GetParam().specimens, 0.1, 0.02, 7));
  const Index k = 20, n = GetParam().specimens;
  const ShapeSpace space = shape_space_of(plain.xpt, plain.y);
  const PrincipalComponents& pc = space.components;

  const LMatrix t = tangent_by_hand(plain.xpt, plain.y, k);
  const LMatrix centred = t.rowwise() - t.colwise().mean();
  const LMatrix cov = centred.transpose() * centred / static_cast<long double>(n - 1);
  std::vector<long double> values;
  LMatrix vectors;
  jacobi(cov, values, vectors);
  const LMatrix scores = centred * vectors;

  ASSERT_EQ(pc.components(), std::min<Index>(n - 1, 2 * k - 4));
  const double largest = static_cast<double>(values[0]);
  const double largest_score = static_cast<double>(scores.cwiseAbs().maxCoeff());
  double cumulative = 0;
  for (Index j = 0; j < pc.components(); ++j) {
    SCOPED_TRACE("component " + std::to_string(j + 1));
    EXPECT_NEAR(pc.eigenvalues(j), static_cast<double>(values[static_cast<size_t>(j)]),
                1e-10 * largest);
    for (Index i = 0; i < n; ++i)
      ASSERT_NEAR(pc.scores(i, j), static_cast<double>(scores(i, j)), 1e-10 * largest_score);
    for (Index r = 0; r < 2 * k; ++r)
      ASSERT_NEAR(pc.loadings(r, j), static_cast<double>(vectors(r, j)), 1e-8);
    const double percent = 100 * static_cast<double>(values[static_cast<size_t>(j)] / cov.trace());
    EXPECT_NEAR(pc.percent(j), percent, 1e-9);
    EXPECT_NEAR(pc.cumulative(j), cumulative += percent, 1e-9);
  }
  // What is left out is rounding: the components kept hold the whole variance.
  EXPECT_NEAR(pc.cumulative(pc.components() - 1), 100, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Routes, ComponentsAgainstJacobi,
                         ::testing::Values(Case{"more_specimens_than_variables", 60},
                                           Case{"fewer_specimens_than_variables", 12}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(PrincipalComponents, OneSpecimenHasNoComponentAndAConstantSampleNone) {
  const Matrix one = rows({{0, 0, 1, 0, 0, 1, 1, 1}});
  EXPECT_EQ(principal_components(one, 4).components(), 0);
  Matrix same(5, 8);
  same.rowwise() = one.row(0);
  const PrincipalComponents pc = principal_components(same, 4);
  EXPECT_EQ(pc.components(), 0);
  EXPECT_EQ(pc.scores.rows(), 5);
}

}  // namespace
}  // namespace tav
