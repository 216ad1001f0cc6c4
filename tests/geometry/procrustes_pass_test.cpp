// The consensus pass taken in groups of specimens against the same pass one specimen at a time.
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "geometry/procrustes.h"

namespace tav::detail {
namespace {

// n stacked specimens of k points: a jittered outline at random angles; specimen `flat`
// (when in range) is all zeros, which has no preferred angle.
Matrix specimens(Index k, Index n, Index flat) {
  std::mt19937 gen(static_cast<unsigned>(7 * n + k));
  std::uniform_real_distribution<double> u(-1, 1);
  Matrix w(2 * k, n);
  for (Index i = 0; i < n; ++i) {
    const double a = 3 * u(gen);
    for (Index p = 0; p < k; ++p) {
      const double t = 6.283 * double(p) / double(k);
      const double x = std::cos(t) + 0.05 * u(gen), y = 0.6 * std::sin(t) + 0.05 * u(gen);
      w(p, i) = std::cos(a) * x - std::sin(a) * y;
      w(k + p, i) = std::sin(a) * x + std::cos(a) * y;
    }
  }
  if (flat < n) w.col(flat).setZero();
  return w;
}

TEST(BestTurnsAndSum, EqualsTheOneSpecimenPassForEveryGroupRemainder) {
  for (const Index k : {3, 8, 13, 50})
    for (Index n = 1; n <= 19; ++n) {
      const Matrix w = specimens(k, n, 5);
      const TurnTarget target(w.col(0));
      const Turn kept{0.6, 0.8};  // what a specimen without a preferred angle keeps
      std::vector<Turn> one(static_cast<size_t>(n), kept), group = one;
      Eigen::VectorXd sum_one = Eigen::VectorXd::Zero(2 * k), sum_group = sum_one;
      for (Index i = 0; i < n; ++i) {
        one[size_t(i)] = best_turn(w.col(i).data(), target, one[size_t(i)]);
        add_turned(w.col(i).data(), k, one[size_t(i)], sum_one.data());
      }
      best_turns_and_sum(w.data(), n, target, group.data(), sum_group.data());
      for (Index i = 0; i < n; ++i) {
        EXPECT_NEAR(group[size_t(i)].c, one[size_t(i)].c, 1e-14) << k << " " << n << " " << i;
        EXPECT_NEAR(group[size_t(i)].s, one[size_t(i)].s, 1e-14) << k << " " << n << " " << i;
      }
      if (n > 5) {
        EXPECT_EQ(group[5].c, kept.c);
      }
      EXPECT_LT((sum_group - sum_one).cwiseAbs().maxCoeff(), 1e-13) << k << " " << n;
    }
}

}  // namespace
}  // namespace tav::detail
