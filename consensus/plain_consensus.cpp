#include <string>
#include <vector>

#include "consensus/consensus.h"
#include "consensus/procrustes_pass.h"
#include "geometry/procrustes.h"
#include "platform/format.h"
#include "platform/progress.h"

namespace tav {

namespace {

// The consensus has settled when its squared change in one pass is at most this (2^-26 / 20).
constexpr double kSettled = 7.450580596923829e-10;
// The consensus settles in a few dozen passes; this many means something degenerate.
constexpr int kMaxPasses = 10000;

// Sum of a column in row order, as the column mean of the runtime adds it.
double ordered_sum(const Eigen::VectorXd& v) {
  double s = 0;
  for (Index i = 0; i < v.size(); ++i) s += v(i);
  return s;
}

void check_sample(const Matrix& x) {
  if (x.rows() == 0)
    throw Error(
        "consensus: the sample holds no specimens (0 rows); load a data file with at "
        "least one specimen row");
}

}  // namespace

Consensus plain_consensus(const Matrix& x) { return detail::plain_consensus_passes(x, kMaxPasses); }

namespace detail {

double mean_pass(const Matrix& w, double trailing_mean, std::vector<Turn>& turns,
                 Eigen::VectorXd& ref, double& ref_trailing) {
  Eigen::VectorXd mean;
  best_turns_and_sum(w, ref, turns, mean);
  mean /= static_cast<double>(w.cols());
  // The specimens are centred, so their mean is too: its norm is its centroid size. The
  // trailing value is divided by the same factor as the coordinates.
  const double size = mean.norm();
  mean /= size;
  ref_trailing = trailing_mean / size;
  const double change = (mean - ref).squaredNorm();
  ref.swap(mean);
  return change;
}

Consensus consensus_rows(const Matrix& w, const std::vector<Turn>& turns,
                         const Eigen::VectorXd& trailing, const Eigen::VectorXd& ref,
                         double ref_trailing) {
  Consensus out;
  out.y = interleaved_rows(ref, {Turn{}}, Eigen::VectorXd::Constant(1, ref_trailing));
  out.xpt = interleaved_rows(w, turns, trailing);
  return out;
}

Consensus plain_consensus_passes(const Matrix& x, int max_passes, int* passes_made) {
  check_sample(x);
  const Index k = detail::specimen_points(x.cols(), "consensus");
  const double n = static_cast<double>(x.rows());
  const Eigen::VectorXd trailing = x.col(2 * k);
  const double trailing_mean = ordered_sum(trailing) / n;

  const Matrix w = detail::normalised_stacked(x, k);
  // The first specimen is the starting consensus and so sets the orientation of the result.
  Eigen::VectorXd ref = w.col(0);
  std::vector<detail::Turn> turns(static_cast<size_t>(x.rows()));
  double ref_trailing = trailing(0);

  double xd = 1;
  int pass = 1;
  for (; xd > kSettled; ++pass) {
    if (pass > max_passes)
      throw Error("consensus: no agreement after " + std::to_string(max_passes) +
                  " passes (last squared change of the consensus " + g_text(xd, 6) +
                  "); check the sample for degenerate specimens");
    xd = detail::mean_pass(w, trailing_mean, turns, ref, ref_trailing);
    progress_tick();
  }

  if (passes_made) *passes_made = pass - 1;
  return detail::consensus_rows(w, turns, trailing, ref, ref_trailing);
}

}  // namespace detail
}  // namespace tav
