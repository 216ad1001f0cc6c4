#include "consensus/procrustes_pass.h"

#include "geometry/procrustes.h"

namespace tav::detail {

namespace {

// Turns one stacked specimen by t and adds the turned coordinates to sum, in one sweep.
void turn_and_add(double* __restrict s, double* __restrict sum, Index k, Turn t) {
  double* __restrict X = s;
  double* __restrict Y = s + k;
  double* __restrict SX = sum;
  double* __restrict SY = sum + k;
  for (Index p = 0; p < k; ++p) {
    const double u = X[p], v = Y[p];
    const double nx = u * t.c - v * t.s, ny = u * t.s + v * t.c;
    X[p] = nx;
    Y[p] = ny;
    SX[p] += nx;
    SY[p] += ny;
  }
}

}  // namespace

void turn_onto_and_sum(Matrix& w, const Eigen::VectorXd& ref, Eigen::VectorXd& sum) {
  const Index k = w.rows() / 2;
  sum.setZero(w.rows());
  for (Index i = 0; i < w.cols(); ++i)
    turn_and_add(w.col(i).data(), sum.data(), k, best_turn(w.col(i), ref));
}

}  // namespace tav::detail
