// The Procrustes kernels at every vector width this processor runs, against the best turn and
// the turned sum written out plainly in long double.
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "geometry/procrustes.h"
#include "platform/vector_width.h"

namespace tav::detail {
namespace {

// n stacked specimens of k points scattered round an outline, at random angles and scales;
// coordinates far from the origin in the ill-conditioned case (large sums that cancel).
Matrix specimens(Index k, Index n, double offset) {
  std::mt19937 gen(static_cast<unsigned>(11 * n + k));
  std::uniform_real_distribution<double> u(-1, 1);
  Matrix w(2 * k, n);
  for (Index i = 0; i < n; ++i) {
    const double a = 3 * u(gen), s = 1 + 0.5 * u(gen);
    for (Index p = 0; p < k; ++p) {
      const double t = 6.283 * double(p) / double(k);
      const double x = std::cos(t) + 0.1 * u(gen), y = 0.6 * std::sin(t) + 0.1 * u(gen);
      w(p, i) = offset + s * (std::cos(a) * x - std::sin(a) * y);
      w(k + p, i) = offset + s * (std::sin(a) * x + std::cos(a) * y);
    }
  }
  return w;
}

struct Expected {
  std::vector<Turn> turns;
  std::vector<long double> sum;
};

// The turn maximising the fit of each specimen to the reference, and the sum of the turned
// specimens: the formulas, term by term.
Expected plainly(const Matrix& w, const Eigen::VectorXd& ref) {
  const Index k = ref.size() / 2, n = w.cols();
  Expected e{std::vector<Turn>(size_t(n)), std::vector<long double>(size_t(2 * k), 0)};
  for (Index i = 0; i < n; ++i) {
    long double ct = 0, st = 0;
    for (Index p = 0; p < k; ++p) {
      const long double x = w(p, i), y = w(k + p, i);
      ct += x * ref(p) + y * ref(k + p);
      st += x * ref(k + p) - y * ref(p);
    }
    const long double r = std::sqrt(ct * ct + st * st);
    const long double c = ct / r, s = st / r;
    e.turns[size_t(i)] = {double(c), double(s)};
    for (Index p = 0; p < k; ++p) {
      e.sum[size_t(p)] += c * w(p, i) - s * w(k + p, i);
      e.sum[size_t(k + p)] += s * w(p, i) + c * w(k + p, i);
    }
  }
  return e;
}

TEST(ProcrustesKernelWidths, TurnsAndSumEqualTheFormulas) {
  for (const VectorWidth width : supported_vector_widths()) {
    use_vector_width(width);
    for (const Index k : {8, 9, 17, 100})
      for (const Index n : {1, 8, 9, 23})
        for (const double offset : {0.0, 1e6}) {
          SCOPED_TRACE(::testing::Message() << vector_width_name(width) << " k=" << k << " n=" << n
                                            << " offset=" << offset);
          const Matrix w = specimens(k, n, offset);
          const Eigen::VectorXd ref = w.col(0);
          const Expected want = plainly(w, ref);
          std::vector<Turn> turns(static_cast<size_t>(n));
          Eigen::VectorXd sum = Eigen::VectorXd::Zero(2 * k);
          best_turns_and_sum(w.data(), n, TurnTarget(ref), turns.data(), sum.data());
          for (Index i = 0; i < n; ++i) {
            EXPECT_NEAR(turns[size_t(i)].c, want.turns[size_t(i)].c, 1e-12) << i;
            EXPECT_NEAR(turns[size_t(i)].s, want.turns[size_t(i)].s, 1e-12) << i;
          }
          // The sum's rounding grows with the size of the coordinates and their number.
          for (Index p = 0; p < 2 * k; ++p)
            EXPECT_NEAR(sum(p), double(want.sum[size_t(p)]), 1e-13 * (1 + offset) * double(n)) << p;
        }
  }
  use_vector_width(supported_vector_widths().back());
}

}  // namespace
}  // namespace tav::detail
