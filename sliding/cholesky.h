#pragma once
// Cholesky factorisation of the small dense symmetric systems of one curve's slide (tens to a
// few hundred unknowns), solved thousands of times per consensus pass.
#include "platform/matrix.h"

namespace tav {

// A symmetric positive definite n×n matrix and, after factor(), its lower Cholesky factor G
// (A = G·G'). Stored column-major and padded to a multiple of four rows and columns with an
// identity block, so that the factorisation and the solve run in panels of four columns over
// whole vector registers, with no remainder cases. The kernels run at the vector width of
// kernel_width() (platform/vector_width.h).
class SmallCholesky {
 public:
  // Sizes for an n×n matrix; the contents are unspecified until the lower triangle is set.
  void resize(Index n);
  Index size() const { return n_; }
  // Column j from row j down (n - j values): where the caller writes the lower triangle.
  double* lower_column(Index j) { return a_.data() + j * ld_ + j; }
  double& lower(Index i, Index j) { return a_(i, j); }  // i >= j
  double diagonal(Index j) const { return a_(j, j); }

  // Factors in place, reading only the lower triangle. False when a pivot is not positive
  // (the matrix is not positive definite, or holds a value that is not a number).
  bool factor();
  // Solves A·x = x in place with the factor (x has n values).
  void solve(Eigen::VectorXd& x);

 private:
  void reset_padding();

  Matrix a_;                  // ld_ × ld_
  Eigen::VectorXd x_;         // the solve's right-hand side, padded with zeros to ld_
  Eigen::VectorXd inv_diag_;  // reciprocals of the factor's diagonal
  Index n_ = 0, ld_ = 0;
  bool padding_ready_ = false;
};

}  // namespace tav
