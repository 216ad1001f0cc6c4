#include <algorithm>
#include <cmath>

#include "shape_space/matrix_product.h"
#include "shape_space/shape_space.h"

namespace tav {
namespace {

// Components whose variance is below this share of the largest are rounding, not shape.
constexpr double kRounding = 1e-12;

// Eigenvalues (largest first) and unit eigenvectors of the covariance of the centred
// observations c (n×p), from the smaller of the p×p covariance and the n×n Gram matrix.
struct EigenPairs {
  Eigen::VectorXd values;
  Matrix vectors;  // p columns or fewer, in the order of values
};

EigenPairs covariance_eigen(const Matrix& c) {
  const Index n = c.rows(), p = c.cols();
  const double divisor = static_cast<double>(n - 1);
  EigenPairs e;
  if (n > p) {
    Matrix cov = Matrix::Zero(p, p);
    cov.selfadjointView<Eigen::Lower>().rankUpdate(c.transpose(), 1.0 / divisor);
    const Eigen::SelfAdjointEigenSolver<Matrix> solver(cov);  // reads the lower triangle
    e.values = solver.eigenvalues().reverse();
    e.vectors = solver.eigenvectors().rowwise().reverse();
    return e;
  }
  // The Gram matrix G = c c' shares its nonzero eigenvalues with c' c; its unit eigenvectors u
  // give the covariance's as c' u / sqrt(g).
  Matrix gram = Matrix::Zero(n, n);
  gram.selfadjointView<Eigen::Lower>().rankUpdate(c);
  const Eigen::SelfAdjointEigenSolver<Matrix> solver(gram);
  const Eigen::VectorXd g = solver.eigenvalues().reverse();
  const Matrix u = solver.eigenvectors().rowwise().reverse();
  e.values = g / divisor;
  e.vectors = Matrix::Zero(p, n);
  for (Index j = 0; j < n; ++j)
    if (g(j) > 0) e.vectors.col(j) = c.transpose() * u.col(j) / std::sqrt(g(j));
  return e;
}

// The sign that makes a vector's largest-magnitude entry (the first of equals) positive.
double sign_of_largest(const Eigen::VectorXd& v) {
  Index at = 0;
  v.cwiseAbs().maxCoeff(&at);
  return v(at) < 0 ? -1.0 : 1.0;
}

}  // namespace

PrincipalComponents principal_components(const Matrix& v, Index max_components) {
  PrincipalComponents pc;
  const Index n = v.rows(), p = v.cols();
  pc.mean = n > 0 ? Row(v.colwise().mean()) : Row::Zero(p);
  if (n < 2) {
    pc.loadings = Matrix::Zero(p, 0);
    pc.scores = Matrix::Zero(n, 0);
    return pc;
  }
  const Matrix centred = v.rowwise() - pc.mean;
  pc.total_variance = centred.squaredNorm() / static_cast<double>(n - 1);
  const EigenPairs e = covariance_eigen(centred);
  const Index most = std::min({n - 1, max_components, e.values.size()});
  Index m = 0;
  while (m < most && e.values(m) > kRounding * e.values(0)) ++m;
  pc.eigenvalues = e.values.head(m);
  pc.loadings = e.vectors.leftCols(m);
  for (Index j = 0; j < m; ++j) pc.loadings.col(j) *= sign_of_largest(pc.loadings.col(j));
  pc.percent = 100.0 * pc.eigenvalues / pc.total_variance;
  pc.cumulative.resize(m);
  double sum = 0;
  for (Index j = 0; j < m; ++j) pc.cumulative(j) = sum += pc.percent(j);
  pc.scores = matrix_product(centred, pc.loadings);
  return pc;
}

}  // namespace tav
