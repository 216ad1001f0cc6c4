#include "sliding/cholesky.h"

#include <cmath>
#include <type_traits>

#include "platform/lanes.h"
#include "platform/vector_width.h"

namespace tav {

namespace {

using lanes::Block;
using lanes::load;
using lanes::store;

constexpr Index kPanel = 4;  // columns factored together; the padded size is a multiple of it

// Calls f(std::integral_constant<int, R>, i) for row blocks i..i+R-1 covering rows from..to-1
// (a multiple of four of them): blocks of eight, and one of four at the end when needed.
template <class F>
TAV_ALWAYS_INLINE void for_row_blocks(Index from, Index to, F&& f) {
  Index i = from;
  for (; i + 8 <= to; i += 8) f(std::integral_constant<int, 8>{}, i);
  if (i < to) f(std::integral_constant<int, 4>{}, i);
}

// Rows i..i+R-1 of panel columns j0..j0+3 less their products with the finished columns
// 0..j0-1: four sums held in registers, so that one load feeds four multiply-adds.
template <class K, int R>
TAV_ALWAYS_INLINE void subtract_products(double* a, Index ld, Index i, Index j0) {
  using B = Block<K, R>;
  B s0 = lanes::zero<K, R>(), s1 = s0, s2 = s0, s3 = s0;
  for (Index k = 0; k < j0; ++k) {
    const double* ck = a + k * ld;
    const B v = load<K, R>(ck + i);
    s0 += v * ck[j0];
    s1 += v * ck[j0 + 1];
    s2 += v * ck[j0 + 2];
    s3 += v * ck[j0 + 3];
  }
  double* c0 = a + j0 * ld + i;
  store<K, R>(c0, load<K, R>(c0) - s0);
  store<K, R>(c0 + ld, load<K, R>(c0 + ld) - s1);
  store<K, R>(c0 + 2 * ld, load<K, R>(c0 + 2 * ld) - s2);
  store<K, R>(c0 + 3 * ld, load<K, R>(c0 + 3 * ld) - s3);
}

// Rows i..i+R-1 of panel columns j0..j0+3 solved against the panel's factored 4×4 diagonal
// block D (inv_d: the reciprocals of its diagonal): the rows become those of the factor,
// row·inv(D').
template <class K, int R>
TAV_ALWAYS_INLINE void solve_rows(double* a, Index ld, Index i, Index j0, const double* inv_d) {
  using B = Block<K, R>;
  const auto g = [&](Index r, Index c) { return a[(j0 + c) * ld + j0 + r]; };
  double* p0 = a + j0 * ld + i;
  const B c0 = load<K, R>(p0) * inv_d[0];
  const B c1 = (load<K, R>(p0 + ld) - c0 * g(1, 0)) * inv_d[1];
  const B c2 = (load<K, R>(p0 + 2 * ld) - c0 * g(2, 0) - c1 * g(2, 1)) * inv_d[2];
  const B c3 = (load<K, R>(p0 + 3 * ld) - c0 * g(3, 0) - c1 * g(3, 1) - c2 * g(3, 2)) * inv_d[3];
  store<K, R>(p0, c0);
  store<K, R>(p0 + ld, c1);
  store<K, R>(p0 + 2 * ld, c2);
  store<K, R>(p0 + 3 * ld, c3);
}

// The 4×4 diagonal block of panel j0, its products with earlier panels already subtracted;
// inv_d receives the reciprocals of the factor's diagonal. The block is held in registers.
// Its pivots follow from one another by divisions alone (the block's L·D·L' form); the square
// roots that turn it into G come last and independently, off the chain of dependent
// operations.
TAV_ALWAYS_INLINE bool factor_diagonal(double* a, Index ld, Index j0, double* inv_d) {
  double* c0 = a + j0 * ld + j0;  // column j0 from the diagonal down
  double* c1 = c0 + ld + 1;
  double* c2 = c1 + ld + 1;
  double* c3 = c2 + ld + 1;
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
  const double d0 = std::sqrt(p0), d1 = std::sqrt(a11), d2 = std::sqrt(a22), d3 = std::sqrt(a33);
  inv_d[0] = 1 / d0, inv_d[1] = 1 / d1, inv_d[2] = 1 / d2, inv_d[3] = 1 / d3;
  c0[0] = d0, c0[1] = l10 * d0, c0[2] = l20 * d0, c0[3] = l30 * d0;
  c1[0] = d1, c1[1] = l21 * d1, c1[2] = l31 * d1;
  c2[0] = d2, c2[1] = l32 * d2;
  c3[0] = d3;
  return true;
}

// Left-looking factorisation of the padded ld×ld matrix a in panels of four columns: the
// panel's products with the finished columns, its diagonal block, the rows below it.
template <class K>
TAV_ALWAYS_INLINE bool factor_panels(double* a, Index ld, double* inv_diag) {
  for (Index j0 = 0; j0 < ld; j0 += kPanel) {
    if (j0 > 0)
      for_row_blocks(
          j0, ld, [&](auto rows, Index i) __attribute__((always_inline)) {
            subtract_products<K, rows>(a, ld, i, j0);
          });
    double* inv_d = inv_diag + j0;
    if (!factor_diagonal(a, ld, j0, inv_d)) return false;
    for_row_blocks(
        j0 + kPanel, ld, [&](auto rows, Index i) __attribute__((always_inline)) {
          solve_rows<K, rows>(a, ld, i, j0, inv_d);
        });
  }
  return true;
}

// Forward substitution through panel j0: its four unknowns from the diagonal block, then
// their products subtracted from every row below.
template <class K>
TAV_ALWAYS_INLINE void forward(const double* a, Index ld, const double* inv_diag, double* x,
                               Index j0) {
  const double* inv = inv_diag + j0;
  const auto g = [&](Index r, Index c) { return a[(j0 + c) * ld + j0 + r]; };
  const double y0 = x[j0] * inv[0];
  const double y1 = (x[j0 + 1] - g(1, 0) * y0) * inv[1];
  const double y2 = (x[j0 + 2] - g(2, 0) * y0 - g(2, 1) * y1) * inv[2];
  const double y3 = (x[j0 + 3] - g(3, 0) * y0 - g(3, 1) * y1 - g(3, 2) * y2) * inv[3];
  x[j0] = y0, x[j0 + 1] = y1, x[j0 + 2] = y2, x[j0 + 3] = y3;
  for_row_blocks(
      j0 + kPanel, ld, [&](auto rows, Index i) __attribute__((always_inline)) {
        const double* c0 = a + j0 * ld + i;
        store<K, rows>(x + i,
                       load<K, rows>(x + i) -
                           (load<K, rows>(c0) * y0 + load<K, rows>(c0 + ld) * y1 +
                            load<K, rows>(c0 + 2 * ld) * y2 + load<K, rows>(c0 + 3 * ld) * y3));
      });
}

// Back substitution through panel j0 with G': the products of its four columns with the
// unknowns below, then the diagonal block from its last row up.
template <class K>
TAV_ALWAYS_INLINE void backward(const double* a, Index ld, const double* inv_diag, double* x,
                                Index j0) {
  using B = Block<K, kPanel>;
  B t0 = lanes::zero<K, kPanel>(), t1 = t0, t2 = t0, t3 = t0;
  for (Index i = j0 + kPanel; i < ld; i += kPanel) {
    const B xi = load<K, kPanel>(x + i);
    const double* c0 = a + j0 * ld + i;
    t0 += load<K, kPanel>(c0) * xi;
    t1 += load<K, kPanel>(c0 + ld) * xi;
    t2 += load<K, kPanel>(c0 + 2 * ld) * xi;
    t3 += load<K, kPanel>(c0 + 3 * ld) * xi;
  }
  const double t[kPanel] = {lanes::sum<K, kPanel>(t0), lanes::sum<K, kPanel>(t1),
                            lanes::sum<K, kPanel>(t2), lanes::sum<K, kPanel>(t3)};
  const double* inv = inv_diag + j0;
  const auto g = [&](Index r, Index c) { return a[(j0 + c) * ld + j0 + r]; };
  const double x3 = (x[j0 + 3] - t[3]) * inv[3];
  const double x2 = (x[j0 + 2] - t[2] - g(3, 2) * x3) * inv[2];
  const double x1 = (x[j0 + 1] - t[1] - g(2, 1) * x2 - g(3, 1) * x3) * inv[1];
  const double x0 = (x[j0] - t[0] - g(1, 0) * x1 - g(2, 0) * x2 - g(3, 0) * x3) * inv[0];
  x[j0] = x0, x[j0 + 1] = x1, x[j0 + 2] = x2, x[j0 + 3] = x3;
}

// Solves G·G'·x = x for the padded x: forward through the panels, then back.
template <class K>
TAV_ALWAYS_INLINE void substitute(const double* a, Index ld, const double* inv_diag, double* x) {
  for (Index j0 = 0; j0 < ld; j0 += kPanel) forward<K>(a, ld, inv_diag, x, j0);
  for (Index j0 = ld - kPanel; j0 >= 0; j0 -= kPanel) backward<K>(a, ld, inv_diag, x, j0);
}

// The factorisation and the solve at every vector width (see platform/vector_width.h).
struct Kernels {
  bool (*factor)(double*, Index, double*);
  void (*substitute)(const double*, Index, const double*, double*);
};

bool factor_plain(double* a, Index ld, double* inv) {
  return factor_panels<lanes::EigenBlocks>(a, ld, inv);
}
void substitute_plain(const double* a, Index ld, const double* inv, double* x) {
  substitute<lanes::EigenBlocks>(a, ld, inv, x);
}
#ifdef TAV_AVX2_KERNEL
TAV_AVX512_KERNEL bool factor_avx512(double* a, Index ld, double* inv) {
  return factor_panels<lanes::VectorBlocks>(a, ld, inv);
}
TAV_AVX512_KERNEL void substitute_avx512(const double* a, Index ld, const double* inv, double* x) {
  substitute<lanes::VectorBlocks>(a, ld, inv, x);
}
#endif

// AVX2 processors take the plain path here: blocks of eight and sixteen doubles do not fit its
// registers and went through memory (measured 2.3 times slower a step than the plain path).
Kernels kernels() {
#ifdef TAV_AVX2_KERNEL
  if (kernel_width() == VectorWidth::avx512) return {factor_avx512, substitute_avx512};
#endif
  return {factor_plain, substitute_plain};
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
  padding_ready_ = kernels().factor(a_.data(), ld_, inv_diag_.data());
  return padding_ready_;
}

void SmallCholesky::solve(Eigen::VectorXd& x) {
  x_.head(n_) = x;
  x_.tail(ld_ - n_).setZero();
  kernels().substitute(a_.data(), ld_, inv_diag_.data(), x_.data());
  x = x_.head(n_);
}

}  // namespace tav
