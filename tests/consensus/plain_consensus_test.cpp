#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <numbers>

#include "consensus/consensus.h"
#include "consensus/procrustes_pass.h"
#include "geometry/geometry.h"
#include "support/procrustes_shapes.h"
#include "support/test_support.h"

namespace tav {
namespace {

using test::Pose;

// The consensus computed step by step on interleaved rows with the angle itself: the
// straightforward form the fast routine must agree with to rounding.
Consensus literal_consensus(Matrix x) {
  const Index n = x.rows(), m = x.cols(), k = m / 2;
  for (Index i = 0; i < n; ++i) {
    const Eigen::RowVector2d cp = centroid_of(x.row(i));
    for (Index p = 0; p < k; ++p) x(i, 2 * p) -= cp(0), x(i, 2 * p + 1) -= cp(1);
    const double size = centroid_size(Matrix(x.row(i)))(0);
    x.row(i).head(m - 1) /= size;
  }
  Row xref = x.row(0);
  double xd = 1;
  while (xd > 7.450580596923829e-10) {
    for (Index i = 0; i < n; ++i) {
      double ct = 0, st = 0;
      for (Index p = 0; p < k; ++p) {
        const double X = x(i, 2 * p), Y = x(i, 2 * p + 1), Rx = xref(2 * p), Ry = xref(2 * p + 1);
        ct += Rx * X + Ry * Y;
        st += X * Ry - Y * Rx;
      }
      const double theta = std::atan2(st, ct);
      for (Index p = 0; p < k; ++p) {
        const double X = x(i, 2 * p), Y = x(i, 2 * p + 1);
        x(i, 2 * p) = X * std::cos(theta) - Y * std::sin(theta);
        x(i, 2 * p + 1) = X * std::sin(theta) + Y * std::cos(theta);
      }
    }
    const Row old = xref;
    xref = x.colwise().mean();
    xref /= xref.head(m - 1).norm();
    xd = (xref - old).head(m - 1).squaredNorm();
  }
  return {xref, x};
}

// n noisy copies of the kite in scattered poses, with distinct trailing values.
Matrix noisy_sample(Index n, double spread, unsigned seed) {
  std::mt19937 gen(seed);
  const Row shape = test::kite();
  Matrix x(n, shape.size());
  for (Index i = 0; i < n; ++i) {
    x.row(i) =
        test::noisy(test::moved(shape, {"", 2.9 * double(i), 0.5 + 0.3 * double(i), double(i), -2}),
                    spread, gen);
    x(i, shape.size() - 1) = 10 + 3 * double(i);
  }
  return x;
}

double coordinate_mean(const Row& r, Index offset) {
  double s = 0;
  for (Index q = offset; q + 1 < r.size(); q += 2) s += r(q);
  return s / double(r.size() / 2);
}

class PlainConsensusPoses : public ::testing::TestWithParam<Pose> {};

TEST_P(PlainConsensusPoses, MovedCopiesGiveTheShapeInFirstSpecimensOrientation) {
  const Row shape = test::kite();
  const Row first = test::moved(shape, GetParam());
  Matrix sample(5, shape.size());
  sample.row(0) = first;
  const Pose others[] = {{"", 0.3, 2, 1, 1},
                         {"", std::numbers::pi, 0.1, -5, 3},
                         {"", -1.9, 40, 100, -100},
                         {"", 2.2, 1e-3, 0, 7}};
  for (Index i = 1; i < 5; ++i) sample.row(i) = test::moved(shape, others[i - 1]);
  const Consensus c = plain_consensus(sample);
  const Row want = test::unit_size(first);
  EXPECT_LT(test::max_abs_diff(c.y.head(10), want.head(10)), 1e-9);
  for (Index i = 0; i < 5; ++i)
    EXPECT_LT(test::max_abs_diff(c.xpt.row(i).head(10), want.head(10)), 1e-9) << "row " << i;
  EXPECT_EQ(c.xpt.col(10), sample.col(10));
}

INSTANTIATE_TEST_SUITE_P(FirstSpecimen, PlainConsensusPoses,
                         ::testing::Values(Pose{"as_drawn", 0, 1, 0, 0},
                                           Pose{"half_turn", std::numbers::pi, 1, 0, 0},
                                           Pose{"turned_scaled_shifted", -0.8, 7, 30, -12}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(PlainConsensus, NoisySampleAgreesWithStepByStepFormAndIsCentredUnitSize) {
  const Matrix x = noisy_sample(12, 0.2, 11);
  const Consensus c = plain_consensus(x);
  const Consensus lit = literal_consensus(x);
  EXPECT_LT(test::max_abs_diff(c.y, lit.y), 1e-12);
  EXPECT_LT(test::max_abs_diff(c.xpt, lit.xpt), 1e-12);
  EXPECT_NEAR(centroid_size(Matrix(c.y))(0), 1, 1e-12);
  EXPECT_NEAR(coordinate_mean(c.y, 0), 0, 1e-12);
  EXPECT_NEAR(coordinate_mean(c.y, 1), 0, 1e-12);
  const Eigen::VectorXd sizes = centroid_size(c.xpt);
  for (Index i = 0; i < x.rows(); ++i) {
    EXPECT_NEAR(sizes(i), 1, 1e-12);
    EXPECT_NEAR(coordinate_mean(c.xpt.row(i), 0), 0, 1e-12);
  }
}

TEST(PlainConsensus, TrailingValuesKeptInSampleAndRescaledInConsensus) {
  const Matrix x = noisy_sample(6, 0.3, 5);
  const Consensus c = plain_consensus(x);
  EXPECT_EQ(c.xpt.col(10), x.col(10));
  // The last pass rotates onto the old consensus; the new one is the rescaled mean of xpt, and
  // its trailing value is the mean trailing value divided by that same factor.
  const Row mean = c.xpt.colwise().mean();
  const double factor = mean.head(10).norm();
  EXPECT_GT(std::abs(factor - 1), 1e-9);  // the noise leaves the mean smaller than unit size
  EXPECT_NEAR(c.y(10), x.col(10).mean() / factor, 1e-12);
  EXPECT_LT(test::max_abs_diff(c.y.head(10), mean.head(10) / factor), 1e-12);
}

TEST(PlainConsensus, HalfTurnedSpecimenIsTurnedBackNotMirrored) {
  const Row shape = test::unit_size(test::kite());
  Matrix x(2, shape.size());
  x.row(0) = shape;
  x.row(1) = test::moved(shape, {"", std::numbers::pi, 1, 0, 0});
  x(1, 10) = -1;
  const Consensus c = plain_consensus(x);
  EXPECT_LT(test::max_abs_diff(c.xpt.row(1).head(10), shape.head(10)), 1e-12);
  EXPECT_LT(test::max_abs_diff(c.y.head(10), shape.head(10)), 1e-12);
  EXPECT_NEAR(c.y(10), (shape(10) - 1) / 2, 1e-12);
}

TEST(PlainConsensus, OneSpecimenIsItsOwnConsensusUnturned) {
  const Row specimen = test::moved(test::kite(), {"", 0.9, 4, -2, 6});
  const Consensus c = plain_consensus(Matrix(specimen));
  const Row want = test::unit_size(specimen);
  EXPECT_LT(test::max_abs_diff(c.y, want), 1e-12);
  EXPECT_LT(test::max_abs_diff(c.xpt, want), 1e-12);
}

TEST(PlainConsensus, AnotherFirstSpecimenTurnsTheConsensusAsAWhole) {
  const Matrix x = noisy_sample(5, 0.2, 8);
  Matrix swapped = x;
  swapped.row(0).swap(swapped.row(3));
  const Row y = plain_consensus(x).y, y2 = plain_consensus(swapped).y;
  EXPECT_GT(test::max_abs_diff(y.head(10), y2.head(10)), 1e-2);
  const Matrix turned = fit_onto(Matrix(y2), y);
  EXPECT_LT(test::max_abs_diff(turned.leftCols(10), y.head(10)), 1e-6);
}

TEST(PlainConsensus, InputLeftUnchanged) {
  const Matrix x = noisy_sample(4, 0.1, 2);
  const Matrix copy = x;
  (void)plain_consensus(x);
  EXPECT_EQ(x, copy);
}

struct ConsensusError {
  const char* name;
  Matrix x;
  const char* says;
};

class PlainConsensusErrors : public ::testing::TestWithParam<ConsensusError> {};

TEST_P(PlainConsensusErrors, RaiseErrorNamingTheFault) {
  const auto& c = GetParam();
  try {
    plain_consensus(c.x);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr(c.says));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlainConsensusErrors,
    ::testing::Values(
        ConsensusError{"empty_sample", Matrix(0, 11), "the sample holds no specimens"},
        ConsensusError{"even_width", rows({{0, 0, 1, 0, 0, 1}, {0, 0, 2, 0, 0, 1}}),
                       "specimen rows have 6 columns"},
        ConsensusError{"no_points", rows({{3}, {4}}), "specimen rows have 1 columns"},
        ConsensusError{"coinciding_points_row_3",
                       rows({{0, 0, 1, 0, 0, 1, 9}, {0, 0, 2, 0, 0, 1, 9}, {5, 5, 5, 5, 5, 5, 9}}),
                       "specimen 3: all its points coincide (centroid size 0); correct or remove "
                       "this row"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(PlainConsensusErrors, PassLimitEndsAnUnsettledRun) {
  const Matrix x = noisy_sample(6, 0.3, 5);
  EXPECT_THAT([&] { detail::plain_consensus_passes(x, 1); },
              ::testing::ThrowsMessage<Error>(::testing::HasSubstr("no agreement after 1 passes")));
  EXPECT_NO_THROW(detail::plain_consensus_passes(x, 10000));
}

}  // namespace
}  // namespace tav
