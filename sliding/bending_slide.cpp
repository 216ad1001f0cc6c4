#include "sliding/bending_slide.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/lanes.h"
#include "platform/vector_width.h"

namespace tav {

void read_slide_directions(const Matrix& umat, Index q, bool closed, SlideDirections& d) {
  const Index cols = closed ? q : q - 2;  // also the row offset of the y components
  if (cols < 1 || umat.rows() != 2 * cols || umat.cols() != cols)
    throw Error("bending-energy slide: the sliding-direction matrix is " +
                std::to_string(umat.rows()) + "x" + std::to_string(umat.cols()) +
                ", which does not fit a curve of " + std::to_string(q) + " points");
  d.point.resize(static_cast<size_t>(cols));
  d.tx.resize(cols);
  d.ty.resize(cols);
  for (Index c = 0; c < cols; ++c) {
    d.point[static_cast<size_t>(c)] = closed ? c : c + 1;
    d.tx(c) = umat(c, c);
    d.ty(c) = umat(cols + c, c);
  }
}

SlideDirections slide_directions(const Matrix& umat, Index q, bool closed) {
  SlideDirections d;
  read_slide_directions(umat, q, closed, d);
  return d;
}

CurveEnergy curve_energy(const Matrix& lfinal) {
  const Index q = lfinal.rows() / 2;
  if (lfinal.rows() == 2 * q && lfinal.cols() == 2 * q && lfinal.topRightCorner(q, q).isZero(0) &&
      lfinal.bottomLeftCorner(q, q).isZero(0) &&
      lfinal.topLeftCorner(q, q) == lfinal.bottomRightCorner(q, q))
    return curve_energy_from_block(lfinal.topLeftCorner(q, q));
  return {lfinal, false};
}

CurveEnergy curve_energy_from_block(Matrix block) { return {std::move(block), true}; }

void check_slide_curve(Index q, bool closed, const std::string& what) {
  const Index need = closed ? 3 : 6;
  if (q >= need) return;
  throw Error(what + " has " + std::to_string(q) + " points, but " +
              (closed ? "a closed curve needs at least 3 points to slide"
                      : "an open curve needs at least 6 (the tangents near its ends use six)") +
              "; add semi-landmarks to it in the protocol or make its points landmarks");
}

std::string slide_failure_text(SlideStatus status, const std::string& where) {
  if (status == SlideStatus::not_finite)
    return "bending-energy slide of " + where +
           ": a tangent or the step is not a number (points of the curve coincide, so a "
           "tangent has no direction); check the data of that specimen";
  return "bending-energy slide of " + where +
         ": the bending energy does not fix the slide (singular or indefinite system), "
         "usually because the consensus points of the curve lie on a line or coincide; check "
         "the curve's points in the protocol and the data";
}

namespace {

// True when column c of U moves curve point point[0] + c: the layout of every curve's
// directions, which lets U'·L·U be formed a column of L at a time.
bool consecutive_points(const SlideDirections& d) {
  for (std::size_t c = 1; c < d.point.size(); ++c)
    if (d.point[c] != d.point[0] + static_cast<Index>(c)) return false;
  return true;
}

// Rows i..i+R-1 of [L·bx, L·by] for the q×q block L: sums held in registers (two chains of
// multiply-adds per eight rows), L read once.
template <class K, int R>
TAV_ALWAYS_INLINE void stacked_rows(const double* l, Index q, const double* bx, const double* by,
                                    Index i, double* rx, double* ry) {
  using B = lanes::Block<K, R>;
  B sx = lanes::zero<K, R>(), sy = sx;
  for (Index j = 0; j < q; ++j) {
    const B v = lanes::load<K, R>(l + j * q + i);
    sx += v * bx[j];
    sy += v * by[j];
  }
  lanes::store<K, R>(rx + i, sx);
  lanes::store<K, R>(ry + i, sy);
}

// r = [L·bx; L·by] for the q×q block L and the stacked b = [bx; by]: blocks of sixteen rows
// (four independent chains of multiply-adds), then eight; the last rows in a block of eight
// overlapping the one before (rewriting equal values), or as dot products (L is symmetric)
// when the curve has fewer than eight points.
template <class K>
TAV_ALWAYS_INLINE void stacked_product(const Matrix& l, const Eigen::VectorXd& b,
                                       Eigen::VectorXd& r) {
  const Index q = l.rows();
  const double* ld = l.data();
  const double* bx = b.data();
  const double* by = bx + q;
  double* rx = r.data();
  double* ry = rx + q;
  Index i = 0;
  for (; i + 16 <= q; i += 16) stacked_rows<K, 16>(ld, q, bx, by, i, rx, ry);
  if (i + 8 <= q) {
    stacked_rows<K, 8>(ld, q, bx, by, i, rx, ry);
    i += 8;
  }
  if (i < q && q >= 8) {  // the last rows in a block overlapping the one before
    stacked_rows<K, 8>(ld, q, bx, by, q - 8, rx, ry);
    return;
  }
  for (; i < q; ++i) {
    r(i) = l.col(i).dot(b.head(q));
    r(q + i) = l.col(i).dot(b.tail(q));
  }
}

// Rows a..cols-1 of column a of U'·L·U: m[c] = (tx[a]·tx[c] + ty[a]·ty[c])·la[c]. Whole blocks
// of eight rows counted back from the last row, the first block overlapping the second when
// the length is not a multiple of eight (its rows are written twice with the same values).
template <class K>
TAV_ALWAYS_INLINE void system_column(const double* tx, const double* ty, const double* la, Index a,
                                     Index cols, double* m) {
  const double xa = tx[a], ya = ty[a];
  if (cols - a < 8) {
    for (Index c = a; c < cols; ++c) m[c] = (xa * tx[c] + ya * ty[c]) * la[c];
    return;
  }
  const auto block = [&](Index c) __attribute__((always_inline)) {
    lanes::store<K, 8>(m + c, (lanes::load<K, 8>(tx + c) * xa + lanes::load<K, 8>(ty + c) * ya) *
                                  lanes::load<K, 8>(la + c));
  };
  for (Index c = cols - 8; c > a; c -= 8) block(c);
  block(a);
}

// The lower triangle of U'·L·U when column c of U moves curve point off + c: column a is read
// down column off + a of L (L is symmetric), in memory order.
template <class K>
TAV_ALWAYS_INLINE void consecutive_system(const SlideDirections& d, const Matrix& l,
                                          SmallCholesky& m) {
  const Index cols = static_cast<Index>(d.point.size());
  const Index q = l.rows();
  const double* tx = d.tx.data();
  const double* ty = d.ty.data();
  const Index off = cols > 0 ? d.point[0] : 0;
  for (Index a = 0; a < cols; ++a) {
    double* col = m.lower_column(a) - a;                // col[c] is row c
    const double* la = l.data() + (off + a) * q + off;  // la[c]: L at curve point off + c
    system_column<K>(tx, ty, la, a, cols, col);
  }
}

// The two products of a step at every vector width (see platform/vector_width.h).
struct Kernels {
  void (*stacked_product)(const Matrix&, const Eigen::VectorXd&, Eigen::VectorXd&);
  void (*consecutive_system)(const SlideDirections&, const Matrix&, SmallCholesky&);
};

void stacked_product_plain(const Matrix& l, const Eigen::VectorXd& b, Eigen::VectorXd& r) {
  stacked_product<lanes::EigenBlocks>(l, b, r);
}
void consecutive_system_plain(const SlideDirections& d, const Matrix& l, SmallCholesky& m) {
  consecutive_system<lanes::EigenBlocks>(d, l, m);
}
#ifdef TAV_AVX2_KERNEL
TAV_AVX512_KERNEL void stacked_product_avx512(const Matrix& l, const Eigen::VectorXd& b,
                                              Eigen::VectorXd& r) {
  stacked_product<lanes::VectorBlocks>(l, b, r);
}
TAV_AVX512_KERNEL void consecutive_system_avx512(const SlideDirections& d, const Matrix& l,
                                                 SmallCholesky& m) {
  consecutive_system<lanes::VectorBlocks>(d, l, m);
}
#endif

// AVX2 processors take the plain path here: blocks of eight and sixteen doubles do not fit its
// registers and went through memory (measured 2.3 times slower a step than the plain path).
Kernels kernels() {
#ifdef TAV_AVX2_KERNEL
  if (kernel_width() == VectorWidth::avx512)
    return {stacked_product_avx512, consecutive_system_avx512};
#endif
  return {stacked_product_plain, consecutive_system_plain};
}

// r = L·b (x and y halves against the same block, L read once) and the lower triangle of
// U'·L·U for a block-diagonal energy.
void form_block_system(const SlideDirections& d, const Matrix& l, SlideWorkspace& ws) {
  const Kernels k = kernels();
  k.stacked_product(l, ws.b, ws.r);
  if (consecutive_points(d)) {
    k.consecutive_system(d, l, ws.m);
    return;
  }
  const Index cols = static_cast<Index>(d.point.size());
  const double* tx = d.tx.data();
  const double* ty = d.ty.data();
  for (Index a = 0; a < cols; ++a) {
    const Index pa = d.point[static_cast<size_t>(a)];
    for (Index c = a; c < cols; ++c)
      ws.m.lower(c, a) = (tx[a] * tx[c] + ty[a] * ty[c]) * l(d.point[size_t(c)], pa);
  }
}

// r = L·b in stacked order, and the cols×cols matrix U'·L·U (lower triangle) read from L at
// the two rows of every column of U.
void form_system(const SlideDirections& d, const CurveEnergy& e, Index q, SlideWorkspace& ws) {
  const Index cols = static_cast<Index>(d.point.size());
  ws.r.resize(2 * q);
  ws.m.resize(cols);
  if (e.block_diagonal) {
    form_block_system(d, e.l, ws);
    return;
  }
  const Matrix& l = e.l;
  ws.r.noalias() = l * ws.b;
  for (Index a = 0; a < cols; ++a) {
    const Index pa = d.point[static_cast<size_t>(a)];
    const double xa = d.tx(a), ya = d.ty(a);
    for (Index c = a; c < cols; ++c) {
      const Index pc = d.point[static_cast<size_t>(c)];
      const double xc = d.tx(c), yc = d.ty(c);
      ws.m.lower(c, a) = xa * (l(pa, pc) * xc + l(pa, q + pc) * yc) +
                         ya * (l(q + pa, pc) * xc + l(q + pa, q + pc) * yc);
    }
  }
}

// U'·L·U is positive semi-definite. A failed factorisation or a pivot at rounding level means
// some slide costs no energy (or the form is not an energy at all): the optimum is undefined.
bool well_posed(const SmallCholesky& g) {
  double dmin = std::numeric_limits<double>::infinity(), dmax = 0;
  for (Index j = 0; j < g.size(); ++j) {
    const double d = g.diagonal(j) * g.diagonal(j);
    dmin = std::min(dmin, d);
    dmax = std::max(dmax, d);
  }
  const double floor =
      dmax * static_cast<double>(g.size()) * std::numeric_limits<double>::epsilon();
  return std::isfinite(dmax) && dmax > 0 && dmin > floor;
}

}  // namespace

SlideStatus bending_step_along(const Row& target, const SlideDirections& dirs,
                               const CurveEnergy& energy, const Eigen::VectorXd& fixed_term,
                               Row& moved, SlideWorkspace& ws) {
  const Index q = target.size() / 2;
  const Index cols = static_cast<Index>(dirs.point.size());
  ws.undefined_tangent = -1;
  if (cols == 0) {  // every point of the curve is held
    moved = target;
    return SlideStatus::ok;
  }
  for (Index a = 0; a < cols; ++a)
    if (!std::isfinite(dirs.tx(a)) || !std::isfinite(dirs.ty(a))) {
      ws.undefined_tangent = dirs.point[static_cast<size_t>(a)];
      return SlideStatus::not_finite;
    }

  ws.b.resize(2 * q);
  for (Index p = 0; p < q; ++p) {
    ws.b(p) = target(2 * p);
    ws.b(q + p) = target(2 * p + 1);
  }
  form_system(dirs, energy, q, ws);
  if (fixed_term.size() != 0) ws.r += fixed_term;
  // U'·(L·b + fixed term): the gradient of the energy along every sliding direction.
  ws.rhs.resize(cols);
  for (Index a = 0; a < cols; ++a) {
    const Index p = dirs.point[static_cast<size_t>(a)];
    ws.rhs(a) = dirs.tx(a) * ws.r(p) + dirs.ty(a) * ws.r(q + p);
  }
  if (!ws.m.factor() || !well_posed(ws.m)) return SlideStatus::singular;
  ws.t = ws.rhs;
  ws.m.solve(ws.t);
  ws.t = -ws.t;
  if (!ws.t.allFinite()) return SlideStatus::not_finite;

  constexpr double mscale = 0.1;
  moved = target;
  for (Index a = 0; a < cols; ++a) {
    const Index p = dirs.point[static_cast<size_t>(a)];
    moved(2 * p) += dirs.tx(a) * ws.t(a) * mscale;
    moved(2 * p + 1) += dirs.ty(a) * ws.t(a) * mscale;
  }
  return SlideStatus::ok;
}

}  // namespace tav
