#include "consensus/procrustes_pass.h"

namespace tav::detail {

void best_turns_and_sum(const Matrix& w, const Eigen::VectorXd& ref, std::vector<Turn>& turns,
                        Eigen::VectorXd& sum) {
  const Index k = w.rows() / 2;
  const TurnTarget target(ref);
  sum.setZero(w.rows());
  for (Index i = 0; i < w.cols(); ++i) {
    // The specimen is read from memory once: the sums leave it in the first-level cache for
    // the turned addition.
    const double* specimen = w.col(i).data();
    turns[i] = best_turn(specimen, target, turns[i]);
    add_turned(specimen, k, turns[i], sum.data());
  }
}

}  // namespace tav::detail
