#include "sliding/cholesky.h"

#include <cmath>
#include <type_traits>

namespace tav {

namespace {

constexpr Index kPanel = 4;  // columns factored together; the padded size is a multiple of it

template <int R>
using Block = Eigen::Array<double, R, 1>;

// Calls f(std::integral_constant<int, R>, i) for row blocks i..i+R-1 covering rows from..to-1
// (a multiple of four of them): blocks of eight, and one of four at the end when needed.
template <class F>
void for_row_blocks(Index from, Index to, F&& f) {
  Index i = from;
  for (; i + 8 <= to; i += 8) f(std::integral_constant<int, 8>{}, i);
  if (i < to) f(std::integral_constant<int, 4>{}, i);
}

// Rows i..i+R-1 of panel columns j0..j0+3 less their products with the finished columns
// 0..j0-1: four sums held in registers, so that one load feeds four multiply-adds.
template <int R>
void subtract_products(double* a, Index ld, Index i, Index j0) {
  Block<R> s0 = Block<R>::Zero(), s1 = Block<R>::Zero(), s2 = Block<R>::Zero(),
           s3 = Block<R>::Zero();
  for (Index k = 0; k < j0; ++k) {
    const double* ck = a + k * ld;
    const Block<R> v = Eigen::Map<const Block<R>>(ck + i);
    s0 += v * ck[j0];
    s1 += v * ck[j0 + 1];
    s2 += v * ck[j0 + 2];
    s3 += v * ck[j0 + 3];
  }
  Eigen::Map<Block<R>>(a + j0 * ld + i) -= s0;
  Eigen::Map<Block<R>>(a + (j0 + 1) * ld + i) -= s1;
  Eigen::Map<Block<R>>(a + (j0 + 2) * ld + i) -= s2;
  Eigen::Map<Block<R>>(a + (j0 + 3) * ld + i) -= s3;
}

// Rows i..i+R-1 of panel columns j0..j0+3 solved against the panel's factored 4×4 diagonal
// block D (inv_d: the reciprocals of its diagonal): the rows become those of the factor,
// row·inv(D').
template <int R>
void solve_rows(double* a, Index ld, Index i, Index j0, const double* inv_d) {
  const auto g = [&](Index r, Index c) { return a[(j0 + c) * ld + j0 + r]; };
  Eigen::Map<Block<R>> c0(a + j0 * ld + i), c1(a + (j0 + 1) * ld + i),
      c2(a + (j0 + 2) * ld + i), c3(a + (j0 + 3) * ld + i);
  c0 *= inv_d[0];
  c1 = (c1 - c0 * g(1, 0)) * inv_d[1];
  c2 = (c2 - c0 * g(2, 0) - c1 * g(2, 1)) * inv_d[2];
  c3 = (c3 - c0 * g(3, 0) - c1 * g(3, 1) - c2 * g(3, 2)) * inv_d[3];
}

}  // namespace

void SmallCholesky::resize(Index n) {
  const Index ld = (n + kPanel - 1) / kPanel * kPanel;
  if (ld != ld_) {
    a_.setZero(ld, ld);
    x_.setZero(ld);
  }
  n_ = n;
  ld_ = ld;
}

// The 4×4 diagonal block of panel j0, its products with earlier panels already subtracted;
// inv_d receives the reciprocals of the factor's diagonal. The pivots follow from one another
// by divisions alone (the block's L·D·L' form); the square roots that turn it into G come
// last and independently, off the chain of dependent operations.
bool SmallCholesky::factor_diagonal(Index j0, double* inv_d) {
  const auto a = [&](Index r, Index c) -> double& { return a_(j0 + r, j0 + c); };
  double piv[kPanel], inv_piv[kPanel];
  for (Index c = 0; c < kPanel; ++c) {
    for (Index cc = 0; cc < c; ++cc)  // a(r, cc) holds L(r, cc)·piv(cc) until the end
      for (Index r = c; r < kPanel; ++r) a(r, c) -= a(c, cc) * inv_piv[cc] * a(r, cc);
    piv[c] = a(c, c);
    if (!(piv[c] > 0) || !std::isfinite(piv[c])) return false;
    inv_piv[c] = 1 / piv[c];
  }
  for (Index c = 0; c < kPanel; ++c) {
    const double d = std::sqrt(piv[c]);
    inv_d[c] = 1 / d;
    a(c, c) = d;
    for (Index r = c + 1; r < kPanel; ++r) a(r, c) *= inv_d[c];
  }
  return true;
}

bool SmallCholesky::factor() {
  // The padding is an identity block: its factor is itself and it leaves the rest unchanged.
  a_.bottomLeftCorner(ld_ - n_, n_).setZero();
  a_.rightCols(ld_ - n_).setZero();
  for (Index p = n_; p < ld_; ++p) a_(p, p) = 1;
  double* a = a_.data();
  const Index ld = ld_;
  for (Index j0 = 0; j0 < ld; j0 += kPanel) {
    if (j0 > 0)
      for_row_blocks(j0, ld, [&](auto rows, Index i) { subtract_products<rows>(a, ld, i, j0); });
    double inv_d[kPanel];
    if (!factor_diagonal(j0, inv_d)) return false;
    for_row_blocks(j0 + kPanel, ld,
                   [&](auto rows, Index i) { solve_rows<rows>(a, ld, i, j0, inv_d); });
  }
  return true;
}

// Forward substitution through panel j0: its four unknowns from the diagonal block, then
// their products subtracted from every row below.
void SmallCholesky::forward(Index j0) {
  const double* a = a_.data();
  const Index ld = ld_;
  double* x = x_.data();
  const auto g = [&](Index r, Index c) { return a[(j0 + c) * ld + j0 + r]; };
  const double y0 = x[j0] / g(0, 0);
  const double y1 = (x[j0 + 1] - g(1, 0) * y0) / g(1, 1);
  const double y2 = (x[j0 + 2] - g(2, 0) * y0 - g(2, 1) * y1) / g(2, 2);
  const double y3 = (x[j0 + 3] - g(3, 0) * y0 - g(3, 1) * y1 - g(3, 2) * y2) / g(3, 3);
  x[j0] = y0, x[j0 + 1] = y1, x[j0 + 2] = y2, x[j0 + 3] = y3;
  for_row_blocks(j0 + kPanel, ld, [&](auto rows, Index i) {
    using B = Block<rows>;
    const double* c0 = a + j0 * ld + i;
    Eigen::Map<B>(x + i) -= Eigen::Map<const B>(c0) * y0 + Eigen::Map<const B>(c0 + ld) * y1 +
                            Eigen::Map<const B>(c0 + 2 * ld) * y2 +
                            Eigen::Map<const B>(c0 + 3 * ld) * y3;
  });
}

// Back substitution through panel j0 with G': the products of its four columns with the
// unknowns below, then the diagonal block from its last row up.
void SmallCholesky::backward(Index j0) {
  const double* a = a_.data();
  const Index ld = ld_;
  double* x = x_.data();
  using B = Block<kPanel>;
  B t0 = B::Zero(), t1 = B::Zero(), t2 = B::Zero(), t3 = B::Zero();
  for (Index i = j0 + kPanel; i < ld; i += kPanel) {
    const B xi = Eigen::Map<const B>(x + i);
    const double* c0 = a + j0 * ld + i;
    t0 += Eigen::Map<const B>(c0) * xi;
    t1 += Eigen::Map<const B>(c0 + ld) * xi;
    t2 += Eigen::Map<const B>(c0 + 2 * ld) * xi;
    t3 += Eigen::Map<const B>(c0 + 3 * ld) * xi;
  }
  const double t[kPanel] = {t0.sum(), t1.sum(), t2.sum(), t3.sum()};
  const auto g = [&](Index r, Index c) { return a[(j0 + c) * ld + j0 + r]; };
  const double x3 = (x[j0 + 3] - t[3]) / g(3, 3);
  const double x2 = (x[j0 + 2] - t[2] - g(3, 2) * x3) / g(2, 2);
  const double x1 = (x[j0 + 1] - t[1] - g(2, 1) * x2 - g(3, 1) * x3) / g(1, 1);
  const double x0 = (x[j0] - t[0] - g(1, 0) * x1 - g(2, 0) * x2 - g(3, 0) * x3) / g(0, 0);
  x[j0] = x0, x[j0 + 1] = x1, x[j0 + 2] = x2, x[j0 + 3] = x3;
}

void SmallCholesky::solve(Eigen::VectorXd& x) {
  x_.head(n_) = x;
  x_.tail(ld_ - n_).setZero();
  for (Index j0 = 0; j0 < ld_; j0 += kPanel) forward(j0);
  for (Index j0 = ld_ - kPanel; j0 >= 0; j0 -= kPanel) backward(j0);
  x = x_.head(n_);
}

}  // namespace tav
