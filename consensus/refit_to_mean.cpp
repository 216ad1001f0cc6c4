#include <vector>

#include "consensus/consensus.h"
#include "consensus/procrustes_pass.h"
#include "geometry/procrustes.h"

namespace tav {
namespace {

// A squared change of the consensus this small is a change in the last digits (its
// coordinates are of order 1/sqrt(k)): the fit has reached its fixed point.
constexpr double kFixedPoint = 1e-26;
// From the consensus of a run the fixed point is a few passes away; past this many passes
// rounding alone moves the consensus.
constexpr int kMaxPasses = 100;

// The configuration row (x1 y1 ... xk yk, and possibly a trailing value) as a stacked column,
// centred and of unit centroid size, so that a first pass measures its change honestly.
Eigen::VectorXd unit_stacked(const Row& y, Index k) {
  Eigen::VectorXd ref = detail::stacked_reference(y, k);
  ref.head(k).array() -= ref.head(k).mean();
  ref.tail(k).array() -= ref.tail(k).mean();
  const double size = ref.norm();
  if (size > 0) ref /= size;
  return ref;
}

}  // namespace

Consensus refit_to_mean(const Consensus& run) {
  const Matrix& x = run.xpt;
  if (x.rows() == 0) return run;
  const Index k = detail::specimen_points(x.cols(), "consensus");
  const Eigen::VectorXd trailing = x.col(2 * k);
  const double trailing_mean = trailing.sum() / static_cast<double>(x.rows());

  const Matrix w = detail::normalised_stacked(x, k);
  Eigen::VectorXd ref = unit_stacked(run.y, k);
  std::vector<detail::Turn> turns(static_cast<size_t>(x.rows()));
  double ref_trailing = 0;
  double change = detail::mean_pass(w, trailing_mean, turns, ref, ref_trailing);
  for (int pass = 1; change > kFixedPoint && pass < kMaxPasses; ++pass) {
    const double next = detail::mean_pass(w, trailing_mean, turns, ref, ref_trailing);
    // A change that no longer shrinks is rounding: the consensus is as settled as it gets.
    if (next >= change) break;
    change = next;
  }

  return detail::consensus_rows(w, turns, trailing, ref, ref_trailing);
}

}  // namespace tav
