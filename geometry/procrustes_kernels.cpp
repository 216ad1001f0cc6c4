// The inner loops of the superimposition: dot products against a reference and turned sums,
// written on short vectors of doubles so that every pass runs at the width the processor
// offers (four lanes with AVX2 and FMA, two otherwise). The choice is made once per process
// from the processor's capabilities and never changes results beyond rounding.
#include <cmath>
#include <cstring>

#include "geometry/procrustes.h"

namespace tav::detail {

namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TAV_WIDE_KERNELS 1
#endif

// The four-lane helpers below are only ever inlined into functions compiled for AVX2, so the
// calling convention for 32-byte vectors that GCC warns about never applies.
#pragma GCC diagnostic ignored "-Wpsabi"

typedef double Lanes2 __attribute__((vector_size(16)));
#ifdef TAV_WIDE_KERNELS
typedef double Lanes4 __attribute__((vector_size(32)));
#endif

template <class V>
inline __attribute__((always_inline)) V load(const double* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class V>
inline __attribute__((always_inline)) void store(double* p, V v) {
  std::memcpy(p, &v, sizeof v);
}

// ct = specimen · ref and st = specimen · perp over n values, in one sweep.
template <class V>
inline __attribute__((always_inline)) void turn_sums_on(const double* s, const double* ref,
                                                        const double* perp, Index n, double* ct,
                                                        double* st) {
  constexpr Index L = sizeof(V) / sizeof(double);
  V c0 = {}, c1 = {}, s0 = {}, s1 = {};
  Index q = 0;
  for (; q + 2 * L <= n; q += 2 * L) {
    const V a = load<V>(s + q), b = load<V>(s + q + L);
    c0 += a * load<V>(ref + q);
    c1 += b * load<V>(ref + q + L);
    s0 += a * load<V>(perp + q);
    s1 += b * load<V>(perp + q + L);
  }
  const V c = c0 + c1, d = s0 + s1;
  double rc = 0, rs = 0;
  for (Index j = 0; j < L; ++j) rc += c[j], rs += d[j];
  for (; q < n; ++q) rc += s[q] * ref[q], rs += s[q] * perp[q];
  *ct = rc;
  *st = rs;
}

// sum += the specimen turned by (c, s): new x = c·x - s·y, new y = s·x + c·y.
template <class V>
inline __attribute__((always_inline)) void add_turned_on(const double* X, Index k, double c,
                                                         double s, double* SX) {
  constexpr Index L = sizeof(V) / sizeof(double);
  const double* Y = X + k;
  double* SY = SX + k;
  const V cv = V{} + c, sv = V{} + s;
  Index p = 0;
  for (; p + L <= k; p += L) {
    const V x = load<V>(X + p), y = load<V>(Y + p);
    store<V>(SX + p, load<V>(SX + p) + cv * x - sv * y);
    store<V>(SY + p, load<V>(SY + p) + sv * x + cv * y);
  }
  for (; p < k; ++p) {
    SX[p] += c * X[p] - s * Y[p];
    SY[p] += s * X[p] + c * Y[p];
  }
}

void turn_sums_narrow(const double* s, const double* ref, const double* perp, Index n, double* ct,
                      double* st) {
  turn_sums_on<Lanes2>(s, ref, perp, n, ct, st);
}
void add_turned_narrow(const double* X, Index k, double c, double s, double* SX) {
  add_turned_on<Lanes2>(X, k, c, s, SX);
}

#ifdef TAV_WIDE_KERNELS
__attribute__((target("avx2,fma"))) void turn_sums_wide(const double* s, const double* ref,
                                                        const double* perp, Index n, double* ct,
                                                        double* st) {
  turn_sums_on<Lanes4>(s, ref, perp, n, ct, st);
}
__attribute__((target("avx2,fma"))) void add_turned_wide(const double* X, Index k, double c,
                                                         double s, double* SX) {
  add_turned_on<Lanes4>(X, k, c, s, SX);
}

bool wide_lanes() {
  static const bool wide = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return wide;
}
#else
void (*const turn_sums_wide)(const double*, const double*, const double*, Index, double*,
                             double*) = turn_sums_narrow;
void (*const add_turned_wide)(const double*, Index, double, double, double*) = add_turned_narrow;
bool wide_lanes() { return false; }
#endif

}  // namespace

Turn best_turn(const double* specimen, const TurnTarget& target, Turn none) {
  double ct, st;
  if (wide_lanes())
    turn_sums_wide(specimen, target.ref(), target.perp(), target.size(), &ct, &st);
  else
    turn_sums_narrow(specimen, target.ref(), target.perp(), target.size(), &ct, &st);
  // cos and sin of atan2(st, ct), without forming the angle.
  double r = std::sqrt(ct * ct + st * st);
  if (r == 0) return none;
  if (!std::isfinite(r)) r = std::hypot(ct, st);  // squares beyond the double range
  return {ct / r, st / r};
}

void add_turned(const double* specimen, Index k, Turn t, double* sum) {
  if (wide_lanes())
    add_turned_wide(specimen, k, t.c, t.s, sum);
  else
    add_turned_narrow(specimen, k, t.c, t.s, sum);
}

}  // namespace tav::detail
