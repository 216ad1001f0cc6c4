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
    a_.resize(ld, ld);
    x_.setZero(ld);
    inv_diag_.resize(ld);
  }
  if (n != n_ || ld != ld_) padding_ready_ = false;
  n_ = n;
  ld_ = ld;
}

// The 4×4 diagonal block of panel j0, its products with earlier panels already subtracted;
// inv_d receives the reciprocals of the factor's diagonal. The block is held in registers.
// Its pivots follow from one another by divisions alone (the block's L·D·L' form); the square
// roots that turn it into G come last and independently, off the chain of dependent
// operations.
bool SmallCholesky::factor_diagonal(Index j0, double* inv_d) {
  double* c0 = a_.data() + j0 * ld_ + j0;  // column j0 from the diagonal down
  double* c1 = c0 + ld_ + 1;
  double* c2 = c1 + ld_ + 1;
  double* c3 = c2 + ld_ + 1;
  const auto usable = [](double p) { return p > 0 && std::isfinite(p); };
  const double p0 = c0[0];
  if (!usable(p0)) return false;
  const double i0 = 1 / p0;
  const double l10 = c0[1] * i0, l20 = c0[2] * i0, l30 = c0[3] * i0;  // L·D⁻¹ of column 0
  const double a11 = c1[0] - l10 * c0[1], a21 = c1[1] - l10 * c0[2], a31 = c1[2] - l10 * c0[3];
  if (!usable(a11)) return false;
  const double i1 = 1 / a11;
  const double l21 = a21 * i1, l31 = a31 * i1;
  const double a22 = c2[0] - l20 * c0[2] - l21 * a21, a32 = c2[1] - l20 * c0[3] - l21 * a31;
  if (!usable(a22)) return false;
  const double i2 = 1 / a22;
  const double l32 = a32 * i2;
  const double a33 = c3[0] - l30 * c0[3] - l31 * a31 - l32 * a32;
  if (!usable(a33)) return false;
  const double d0 = std::sqrt(p0), d1 = std::sqrt(a11), d2 = std::sqrt(a22),
               d3 = std::sqrt(a33);
  inv_d[0] = 1 / d0, inv_d[1] = 1 / d1, inv_d[2] = 1 / d2, inv_d[3] = 1 / d3;
  c0[0] = d0, c0[1] = l10 * d0, c0[2] = l20 * d0, c0[3] = l30 * d0;
  c1[0] = d1, c1[1] = l21 * d1, c1[2] = l31 * d1;
  c2[0] = d2, c2[1] = l32 * d2;
  c3[0] = d3;
  return true;
}

void SmallCholesky::reset_padding() {
  a_.bottomLeftCorner(ld_ - n_, n_).setZero();
  a_.rightCols(ld_ - n_).setZero();
  for (Index p = n_; p < ld_; ++p) a_(p, p) = 1;
  padding_ready_ = true;
}

bool SmallCholesky::factor() {
  // The padding is an identity block: its factor is itself and it leaves the rest unchanged.
  // A successful factorisation leaves it as it was (its rows meet finite values only), so it
  // is set again only after a resize or a failure.
  if (!padding_ready_) reset_padding();
  padding_ready_ = factor_panels();
  return padding_ready_;
}

bool SmallCholesky::factor_panels() {
  double* a = a_.data();
  const Index ld = ld_;
  for (Index j0 = 0; j0 < ld; j0 += kPanel) {
    if (j0 > 0)
      for_row_blocks(j0, ld, [&](auto rows, Index i) { subtract_products<rows>(a, ld, i, j0); });
    double* inv_d = inv_diag_.data() + j0;
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
  const double* inv = inv_diag_.data() + j0;
  const auto g = [&](Index r, Index c) { return a[(j0 + c) * ld + j0 + r]; };
  const double y0 = x[j0] * inv[0];
  const double y1 = (x[j0 + 1] - g(1, 0) * y0) * inv[1];
  const double y2 = (x[j0 + 2] - g(2, 0) * y0 - g(2, 1) * y1) * inv[2];
  const double y3 = (x[j0 + 3] - g(3, 0) * y0 - g(3, 1) * y1 - g(3, 2) * y2) * inv[3];
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
  const double* inv = inv_diag_.data() + j0;
  const auto g = [&](Index r, Index c) { return a[(j0 + c) * ld + j0 + r]; };
  const double x3 = (x[j0 + 3] - t[3]) * inv[3];
  const double x2 = (x[j0 + 2] - t[2] - g(3, 2) * x3) * inv[2];
  const double x1 = (x[j0 + 1] - t[1] - g(2, 1) * x2 - g(3, 1) * x3) * inv[1];
  const double x0 = (x[j0] - t[0] - g(1, 0) * x1 - g(2, 0) * x2 - g(3, 0) * x3) * inv[0];
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
