#include <algorithm>
#include <cmath>

#include "platform/lanes.h"
#include "platform/vector_width.h"
#include "sliding/bending_slide.h"
#include "sliding/tangent_rules.h"

namespace tav {

namespace {

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

// The quadratic-fit tangent of one window (W = 5 or 6 points) about its point (x0, y0), in the
// window's own frame: c = unit chord from the first point to the last, n = c turned a quarter
// turn anticlockwise, (u, v) = ((P - P0)·c, (P - P0)·n). The parabola v ≈ a·u² + b·u + d is
// fitted from an orthogonal basis of the window: 1, u - mean(u), and u² made orthogonal to both
// (re-orthogonalised once). This is quadratic_tangent's least-squares fit in closed form: a few
// dozen operations instead of a pivoting QR, with the accuracy of an orthogonal factorisation.
// T is one window (double) or one window per lane (Lanes); the arithmetic is the same.
// `ok` is false where the window's u leave the fit without a unique solution (or with one at
// rounding level), or the chord has no length; there the caller hands the window to
// quadratic_tangent, so that it gives what bending_slide_basis gives.
template <int W, class T>
TAV_ALWAYS_INLINE FitTangent<T> fit_tangent(const T* xs, const T* ys, const T& x0, const T& y0) {
  using std::sqrt;
  constexpr double inv_w = 1.0 / W;
  const T chx = xs[W - 1] - xs[0], chy = ys[W - 1] - ys[0];
  const T inv_chord = 1.0 / sqrt(chx * chx + chy * chy);
  const T cx = chx * inv_chord, cy = chy * inv_chord;
  T t[W], v[W], u[W], phi[W];
  for (int j = 0; j < W; ++j) {
    const T dx = xs[j] - x0, dy = ys[j] - y0;
    t[j] = dx * cx + dy * cy;
    v[j] = dy * cx - dx * cy;
  }
  T tmean = t[0], vmean = v[0];
  for (int j = 1; j < W; ++j) {
    tmean += t[j];
    vmean += v[j];
  }
  tmean *= inv_w;
  vmean *= inv_w;
  T s2 = T(0.0), s3 = T(0.0);
  for (int j = 0; j < W; ++j) {
    u[j] = t[j] - tmean;
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
  T pp = T(0.0), uv = T(0.0), pv = T(0.0);
  for (int j = 0; j < W; ++j) {
    phi[j] -= pmean + pu * u[j];
    const T dv = v[j] - vmean;
    pp += phi[j] * phi[j];
    uv += u[j] * dv;
    pv += phi[j] * dv;
  }
  const T c1 = uv * inv_s2, c2 = pv / pp;
  // Slope b at P0 (t = 0, u = -tmean) of the fit vmean + c1·u + c2·phi(u), where
  // phi(u) = u² - (alpha + pu)·u - (beta + pmean) after the re-orthogonalisation.
  const T b = c1 + c2 * (-2 * tmean - alpha - pu);
  const T inv_mag = 1.0 / sqrt(1.0 + b * b);
  // sqrt(pp / s4): the sine of the angle between the u² column and the line and constant
  // columns; near zero the three columns are (numerically) dependent.
  return {(cx - b * cy) * inv_mag, (cy + b * cx) * inv_mag, (s2 > 0) && (pp > 1e-24 * s4)};
}

template <int W>
Tangent window_tangent(const double* xs, const double* ys, double x0, double y0) {
  const FitTangent<double> t = fit_tangent<W>(xs, ys, x0, y0);
  if (t.ok) return {t.x, t.y};
  return quadratic_tangent(Eigen::Map<const Row>(xs, W), Eigen::Map<const Row>(ys, W), x0, y0);
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
// five-point windows.
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
  const FitTangent<L> t = fit_tangent<5>(xs, ys, xs[2], ys[2]);
  for (Index l = 0; l < count; ++l) {
    const Index c = col0 + l;
    d.point[static_cast<std::size_t>(c)] = p0 + l;
    if (t.ok(l)) {
      d.tx(c) = t.x(l);
      d.ty(c) = t.y(l);
    } else {
      const Tangent s = window_tangent<5>(xb + l, yb + l, xb[l + 2], yb[l + 2]);
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
  const double x0 = target(2 * p), y0 = target(2 * p + 1);
  const Tangent t =
      first_end ? window_tangent<5>(xs, ys, x0, y0) : window_tangent<6>(xs, ys, x0, y0);
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
TAV_AVX512_KERNEL void centred_avx512(const Row& t, bool closed, Index from, Index to, Index col,
                                      SlideDirections& d) {
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
