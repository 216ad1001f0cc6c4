#include <algorithm>
#include <cmath>

#include "platform/lanes.h"
#include "platform/vector_width.h"
#include "sliding/bending_slide.h"
#include "sliding/tangent_rules.h"

namespace tav {

namespace {

// The constant step of closed curves (the same as umaker2's): every closed-curve tangent points
// towards positive x.
constexpr double kClosedStep = 0.3;

// Eight windows fitted side by side, one per vector lane.
constexpr int kLanes = 8;
using Lanes = Eigen::Array<double, kLanes, 1>;
using LaneMask = Eigen::Array<bool, kLanes, 1>;

template <class T>
struct MaskOf {
  using type = bool;
};
template <>
struct MaskOf<Lanes> {
  using type = LaneMask;
};

// The eight lanes as a GCC vector, for the AVX2 and AVX-512 kernels: the operations fit_tangent
// applies to Lanes, always inlined into the kernel that uses them.
struct WideMask {
  lanes::Block<lanes::VectorBlocks, kLanes> v;  // 1 where true, 0 elsewhere
  TAV_ALWAYS_INLINE bool operator()(Index l) const { return v[l] != 0; }
  TAV_ALWAYS_INLINE friend WideMask operator&&(const WideMask& a, const WideMask& b) {
    return {a.v * b.v};
  }
};
struct WideLanes {
  using V = lanes::Block<lanes::VectorBlocks, kLanes>;
  using W = const WideLanes&;
  V v;
  WideLanes() = default;
  TAV_ALWAYS_INLINE WideLanes(const V& x) : v(x) {}
  TAV_ALWAYS_INLINE WideLanes(double s) : v(V{} + s) {}  // a scalar fills every lane
  TAV_ALWAYS_INLINE static WideLanes Constant(double s) { return WideLanes(s); }
  TAV_ALWAYS_INLINE double operator()(Index l) const { return v[l]; }
  TAV_ALWAYS_INLINE WideLanes& operator+=(W b) { return v += b.v, *this; }
  TAV_ALWAYS_INLINE WideLanes& operator-=(W b) { return v -= b.v, *this; }
  TAV_ALWAYS_INLINE WideLanes& operator*=(W b) { return v *= b.v, *this; }
  TAV_ALWAYS_INLINE friend WideLanes operator+(W a, W b) { return WideLanes(a.v + b.v); }
  TAV_ALWAYS_INLINE friend WideLanes operator-(W a, W b) { return WideLanes(a.v - b.v); }
  TAV_ALWAYS_INLINE friend WideLanes operator*(W a, W b) { return WideLanes(a.v * b.v); }
  TAV_ALWAYS_INLINE friend WideLanes operator/(W a, W b) { return WideLanes(a.v / b.v); }
  TAV_ALWAYS_INLINE friend WideMask operator>(W a, W b) { return {a.v > b.v ? V{} + 1 : V{}}; }
  TAV_ALWAYS_INLINE friend WideLanes sqrt(W a) {
    WideLanes r;
    for (int l = 0; l < kLanes; ++l) r.v[l] = std::sqrt(a.v[l]);
    return r;
  }
};
template <>
struct MaskOf<WideLanes> {
  using type = WideMask;
};

template <class L>
TAV_ALWAYS_INLINE L load_lanes(const double* p) {
  if constexpr (std::is_same_v<L, Lanes>)
    return Eigen::Map<const Lanes>(p);
  else
    return lanes::load<lanes::VectorBlocks, kLanes>(p);
}

template <class T>
struct FitTangent {
  T x, y;
  typename MaskOf<T>::type ok;  // false where the fit is left to the rank-revealing solve
};

// The quadratic-fit tangent of one window (W = 5 or 6 points, t = abscissa shifted to x0) from
// an orthogonal basis of the window: 1, u = t - mean(t), and u² made orthogonal to both
// (re-orthogonalised once). This is the least-squares fit of umaker2 in closed form: a few
// dozen operations instead of a pivoting QR, with the accuracy of an orthogonal factorisation.
// T is one window (double) or one window per lane (Lanes); the arithmetic is the same.
// `ok` is false where the window's abscissas leave the fit without a unique solution (or
// with one at rounding level); there the caller hands the window to quadratic_tangent, so
// that it gives what umaker2 gives.
template <int W, class T>
TAV_ALWAYS_INLINE FitTangent<T> fit_tangent(const T* xs, const T* ys, const T& x0, const T& dx) {
  using std::sqrt;
  constexpr double inv_w = 1.0 / W;
  T u[W], phi[W];
  T tmean = xs[0] - x0, ymean = ys[0];
  for (int j = 1; j < W; ++j) {
    tmean += xs[j] - x0;
    ymean += ys[j];
  }
  tmean *= inv_w;
  ymean *= inv_w;
  T s2 = T(0.0), s3 = T(0.0);
  for (int j = 0; j < W; ++j) {
    u[j] = (xs[j] - x0) - tmean;
    s2 += u[j] * u[j];
    s3 += u[j] * u[j] * u[j];
  }
  const T inv_s2 = 1.0 / s2;
  const T alpha = s3 * inv_s2, beta = s2 * inv_w;
  T pmean = T(0.0), pu = T(0.0), s4 = T(0.0);
  for (int j = 0; j < W; ++j) {
    phi[j] = u[j] * u[j] - alpha * u[j] - beta;
    pmean += phi[j];
    pu += phi[j] * u[j];
    s4 += u[j] * u[j] * u[j] * u[j];
  }
  pmean *= inv_w;
  pu *= inv_s2;
  T pp = T(0.0), uy = T(0.0), py = T(0.0);
  for (int j = 0; j < W; ++j) {
    phi[j] -= pmean + pu * u[j];
    const T v = ys[j] - ymean;
    pp += phi[j] * phi[j];
    uy += u[j] * v;
    py += phi[j] * v;
  }
  const T c1 = uy * inv_s2, c2 = py / pp;
  // Slope at t = 0 (u = -tmean) of the fit ymean + c1·u + c2·phi(u), where
  // phi(u) = u² - (alpha + pu)·u - (beta + pmean) after the re-orthogonalisation.
  const T slope = c1 + c2 * (-2 * tmean - alpha - pu);
  const T dy = dx * slope;
  const T inv_mag = 1.0 / sqrt(dx * dx + dy * dy);
  // sqrt(pp / s4): the sine of the angle between the u² column and the line and constant
  // columns; near zero the three columns are (numerically) dependent.
  return {dx * inv_mag, dy * inv_mag, (s2 > 0) && (pp > 1e-24 * s4)};
}

template <int W>
Tangent window_tangent(const double* xs, const double* ys, double x0, double dx) {
  const FitTangent<double> t = fit_tangent<W>(xs, ys, x0, dx);
  if (t.ok) return {t.x, t.y};
  return quadratic_tangent(Eigen::Map<const Row>(xs, W), Eigen::Map<const Row>(ys, W), x0, dx);
}

// 0-based point of a window position that may run past a curve's ends: wrapped round a closed
// curve, held at the last point of an open one (such lanes are computed and not used).
Index wrap_point(Index p, Index q, bool closed) {
  if (!closed) return p < 0 ? 0 : (p >= q ? q - 1 : p);
  if (p < 0) p += q;  // p runs from -2 to q+kLanes+1 and q >= 3
  while (p >= q) p -= q;
  return p;
}

// Tangents of points p0..p0+7 (0-based; `count` of them are wanted) from their centred
// five-point windows, with the constant closed-curve step or the forward difference of x.
template <class L>
TAV_ALWAYS_INLINE void centred_tangents(const Row& target, bool closed, Index p0, Index count,
                                        Index col0, SlideDirections& d) {
  const Index q = target.size() / 2;
  double xb[kLanes + 4], yb[kLanes + 4];  // points p0-2 .. p0+kLanes+1
  for (Index j = 0; j < kLanes + 4; ++j) {
    const Index p = wrap_point(p0 - 2 + j, q, closed);
    xb[j] = target(2 * p);
    yb[j] = target(2 * p + 1);
  }
  L xs[5], ys[5];
  for (int j = 0; j < 5; ++j) {
    xs[j] = load_lanes<L>(xb + j);
    ys[j] = load_lanes<L>(yb + j);
  }
  const L dx = closed ? L::Constant(kClosedStep) : L(xs[3] - xs[2]);
  const FitTangent<L> t = fit_tangent<5>(xs, ys, xs[2], dx);
  for (Index l = 0; l < count; ++l) {
    const Index c = col0 + l;
    d.point[static_cast<std::size_t>(c)] = p0 + l;
    if (t.ok(l)) {
      d.tx(c) = t.x(l);
      d.ty(c) = t.y(l);
    } else {
      const Tangent s = window_tangent<5>(xb + l, yb + l, xb[l + 2], dx(l));
      d.tx(c) = s.x;
      d.ty(c) = s.y;
    }
  }
}

// The tangent of an open curve's point next to an end (0-based 1 or q-2): point 1 shares the
// fit over points 0..4, point q-2 the six-point fit over points q-6..q-1.
void end_window_tangent(const Row& target, Index p, Index col, SlideDirections& d) {
  const Index q = target.size() / 2;
  const bool first_end = p <= 1;
  const Index first = first_end ? 0 : q - 6;
  const int w = first_end ? 5 : 6;
  double xs[6], ys[6];
  for (int j = 0; j < w; ++j) {
    xs[j] = target(2 * (first + j));
    ys[j] = target(2 * (first + j) + 1);
  }
  const double dx = target(2 * (p + 1)) - target(2 * p);
  const Tangent t = first_end ? window_tangent<5>(xs, ys, target(2 * p), dx)
                              : window_tangent<6>(xs, ys, target(2 * p), dx);
  d.point[static_cast<std::size_t>(col)] = p;
  d.tx(col) = t.x;
  d.ty(col) = t.y;
}

// The tangents of every point with a centred window, from..to-1 (0-based; column col_of_from
// for point from), eight windows at a time.
template <class L>
TAV_ALWAYS_INLINE void all_centred_tangents(const Row& target, bool closed, Index from, Index to,
                                            Index col_of_from, SlideDirections& d) {
  for (Index p0 = from; p0 < to; p0 += kLanes)
    centred_tangents<L>(target, closed, p0, std::min<Index>(kLanes, to - p0),
                        col_of_from + (p0 - from), d);
}

using CentredKernel = void (*)(const Row&, bool, Index, Index, Index, SlideDirections&);

void centred_plain(const Row& t, bool closed, Index from, Index to, Index col, SlideDirections& d) {
  all_centred_tangents<Lanes>(t, closed, from, to, col, d);
}
#ifdef TAV_AVX2_KERNEL
TAV_AVX512_KERNEL void centred_avx512(const Row& t, bool closed, Index from, Index to,
                                      Index col, SlideDirections& d) {
  all_centred_tangents<WideLanes>(t, closed, from, to, col, d);
}
#endif

// The kernel of the width kernel_width() names (platform/vector_width.h). AVX2 processors
// take the plain path: eight lanes do not fit their registers.
CentredKernel centred_kernel() {
#ifdef TAV_AVX2_KERNEL
  if (kernel_width() == VectorWidth::avx512) return centred_avx512;
#endif
  return centred_plain;
}

}  // namespace

void slide_tangents(const Row& target, bool closed, SlideDirections& d) {
  const Index q = target.size() / 2;
  check_slide_curve(q, closed, "the curve");
  const Index cols = closed ? q : q - 2;
  d.point.resize(static_cast<std::size_t>(cols));
  d.tx.resize(cols);
  d.ty.resize(cols);
  // Points with a centred window: all of a closed curve, 2..q-3 (0-based) of an open one.
  const Index from = closed ? 0 : 2, to = closed ? q : q - 2;
  const Index col_of_from = closed ? 0 : 1;
  centred_kernel()(target, closed, from, to, col_of_from, d);
  if (!closed) {
    end_window_tangent(target, 1, 0, d);
    end_window_tangent(target, q - 2, cols - 1, d);
  }
}

}  // namespace tav
