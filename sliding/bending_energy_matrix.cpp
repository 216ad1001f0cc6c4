#include <string>

#include "sliding/sliding.h"

namespace tav {
namespace {

[[noreturn]] void no_spline(Index k, const std::string& why) {
  throw Error("bending energy: no thin-plate spline passes through the " + std::to_string(k) +
              " reference points (" + why +
              "); check the curve's points in the protocol and the data");
}

// The upper-left k×k block of inv(L): the bending-energy matrix of the k points.
Matrix bending_block(const Matrix& refxy) {
  const Index k = refxy.cols();
  if (k < 3) no_spline(k, "at least 3 points are needed");
  if (!all_finite(refxy)) no_spline(k, "some coordinates are not numbers");
  const Eigen::FullPivLU<Matrix> lu(spline_system(refxy));
  // A rank loss means collinear points (Q loses a column) or two coincident points (two equal
  // rows of [K Q]); the inverse would then be meaningless.
  if (!lu.isInvertible()) no_spline(k, "they lie on one straight line or two of them coincide");
  const Matrix linv = lu.inverse();
  if (!all_finite(linv)) no_spline(k, "the spline system cannot be solved");
  // inv(L) is symmetric; averaging with its transpose removes the rounding asymmetry so that
  // the sliding solvers can treat the block as exactly symmetric.
  const Matrix block = linv.topLeftCorner(k, k);
  return 0.5 * (block + block.transpose());
}

}  // namespace

// Lfinal = [Linvk 0; 0 Linvk] in stacked order: the same energy for the x and the y coordinates.
Matrix bending_energy_matrix(const Row& reference) {
  const Matrix linvk = bending_block(point_matrix(reference));
  const Index k = linvk.rows();
  Matrix lfinal = Matrix::Zero(2 * k, 2 * k);
  lfinal.topLeftCorner(k, k) = linvk;
  lfinal.bottomRightCorner(k, k) = linvk;
  return lfinal;
}

}  // namespace tav
