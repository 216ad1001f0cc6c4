// The product of the scores written on short vectors of doubles, so that it runs at the width
// the processor offers. Each block of rows of a (a few vectors tall, in the cache) meets four
// columns of b at a time; the block's sums stay in registers over the whole inner dimension.
#include "shape_space/matrix_product.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/vector_width.h"

namespace tav {
namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TAV_WIDE_PRODUCT 1
// The vector helpers are only ever inlined into functions compiled for the wide instructions,
// so the calling convention for wide vectors that GCC warns about never applies.
#pragma GCC diagnostic ignored "-Wpsabi"
typedef double Lanes4 __attribute__((vector_size(32)));
typedef double Lanes8 __attribute__((vector_size(64)));
#endif

constexpr Index kColumns = 4;

// c(rows r0.., columns j0..j0+3) = the packed rows of a (`panel`: p groups of Rows·L values,
// one group per column of a) times b's columns, for `Rows` vectors of L lanes.
template <class V, int L, int Rows>
inline __attribute__((always_inline)) void block_product(const double* panel, Index n, Index p,
                                                         const double* b, Index j0, double* c,
                                                         Index r0) {
  V sum[kColumns][Rows] = {};
  const double* b0 = b + j0 * p;
  for (Index l = 0; l < p; ++l) {
    V col[Rows];
#pragma GCC unroll 8
    for (int v = 0; v < Rows; ++v) std::memcpy(&col[v], panel + (l * Rows + v) * L, sizeof(V));
#pragma GCC unroll 8
    for (Index j = 0; j < kColumns; ++j) {
      const double f = b0[j * p + l];
#pragma GCC unroll 8
      for (int v = 0; v < Rows; ++v) sum[j][v] += col[v] * f;
    }
  }
  for (Index j = 0; j < kColumns; ++j)
    for (int v = 0; v < Rows; ++v)
      std::memcpy(c + (j0 + j) * n + r0 + v * L, &sum[j][v], sizeof(V));
}

// The blocks of whole row and column steps; returns how many rows they cover. Each block of
// rows is first copied into one contiguous panel, which stays in the cache for every column.
template <class V, int L, int Rows>
inline __attribute__((always_inline)) Index blocks_product(const Matrix& a, const Matrix& b,
                                                           Matrix& c) {
  const Index n = a.rows(), p = a.cols(), m = b.cols();
  const Index tall = Rows * L;
  const Index rows = n / tall * tall, columns = m / kColumns * kColumns;
  std::vector<double> panel(static_cast<size_t>(p * tall));
  for (Index r0 = 0; r0 < rows; r0 += tall) {
    for (Index l = 0; l < p; ++l)
      std::memcpy(panel.data() + l * tall, a.data() + l * n + r0, sizeof(double) * tall);
    for (Index j0 = 0; j0 < columns; j0 += kColumns)
      block_product<V, L, Rows>(panel.data(), n, p, b.data(), j0, c.data(), r0);
  }
  return rows;
}

#ifdef TAV_WIDE_PRODUCT
__attribute__((target("avx512f,avx2,fma"))) Index blocks_widest(const Matrix& a, const Matrix& b,
                                                                Matrix& c) {
  return blocks_product<Lanes8, 8, 4>(a, b, c);
}
__attribute__((target("avx2,fma"))) Index blocks_wide(const Matrix& a, const Matrix& b, Matrix& c) {
  return blocks_product<Lanes4, 4, 2>(a, b, c);
}
#endif

}  // namespace

Matrix matrix_product(const Matrix& a, const Matrix& b) {
  if (a.cols() != b.rows())
    throw Error("matrix product: " + std::to_string(a.cols()) + " columns times " +
                std::to_string(b.rows()) + " rows");
  Index rows = 0;
  Matrix c(a.rows(), b.cols());
#ifdef TAV_WIDE_PRODUCT
  switch (kernel_width()) {
    case VectorWidth::avx512: rows = blocks_widest(a, b, c); break;
    case VectorWidth::avx2: rows = blocks_wide(a, b, c); break;
    default: break;
  }
#endif
  if (rows == 0) return a * b;
  const Index columns = b.cols() / kColumns * kColumns;
  // What the blocks left: the last columns of the blocked rows, and the last rows.
  c.topRightCorner(rows, b.cols() - columns).noalias() =
      a.topRows(rows) * b.rightCols(b.cols() - columns);
  c.bottomRows(a.rows() - rows).noalias() = a.bottomRows(a.rows() - rows) * b;
  return c;
}

}  // namespace tav
