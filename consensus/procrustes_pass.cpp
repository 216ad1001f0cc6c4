#include "consensus/procrustes_pass.h"

namespace tav::detail {

void best_turns_and_sum(const Matrix& w, const Eigen::VectorXd& ref, std::vector<Turn>& turns,
                        Eigen::VectorXd& sum) {
  sum.setZero(w.rows());
  best_turns_and_sum(w.data(), w.cols(), TurnTarget(ref), turns.data(), sum.data());
}

}  // namespace tav::detail
