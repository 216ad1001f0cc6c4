// The inner loops of the superimposition: dot products against a reference and turned sums,
// written on short vectors of doubles so that every pass runs at the width the processor
// offers (eight lanes with AVX-512, four with AVX2 and FMA, two otherwise), as
// kernel_width() chooses from the processor's capabilities. The width never changes results
// beyond rounding.
#include <cmath>
#include <cstring>

#include "geometry/procrustes.h"
#include "platform/vector_width.h"

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
typedef double Lanes8 __attribute__((vector_size(64)));
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

// The consensus pass on G specimens at once (s[g]: specimen g, stacked, k points): every
// specimen's turn sums against the reference (ct = X·Rx + Y·Ry, st = X·Ry - Y·Rx), the
// reference read once for all of them.
template <class V, int G>
inline __attribute__((always_inline)) void group_turn_sums(const double* const* s,
                                                           const double* ref, Index k, double* ct,
                                                           double* st) {
  constexpr Index L = sizeof(V) / sizeof(double);
  const double* rx = ref;
  const double* ry = ref + k;
  V c[G], d[G];
#pragma GCC unroll 8
  for (int g = 0; g < G; ++g) c[g] = V{}, d[g] = V{};
  Index p = 0;
  for (; p + L <= k; p += L) {
    const V a = load<V>(rx + p), b = load<V>(ry + p);
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
      const V x = load<V>(s[g] + p), y = load<V>(s[g] + k + p);
      c[g] += x * a;
      c[g] += y * b;
      d[g] += x * b;
      d[g] -= y * a;
    }
  }
  for (int g = 0; g < G; ++g) {
    double rc = 0, rs = 0;
    for (Index j = 0; j < L; ++j) rc += c[g][j], rs += d[g][j];
    for (Index q = p; q < k; ++q) {
      rc += s[g][q] * rx[q] + s[g][k + q] * ry[q];
      rs += s[g][q] * ry[q] - s[g][k + q] * rx[q];
    }
    ct[g] = rc;
    st[g] = rs;
  }
}

// sum += the G specimens turned by (c[g], sn[g]), added one after the other at every point
// (the same additions, in the same order, as one specimen at a time), the sum loaded and
// stored once for all of them.
template <class V, int G>
inline __attribute__((always_inline)) void group_add_turned(const double* const* s, Index k,
                                                            const double* c, const double* sn,
                                                            double* SX) {
  constexpr Index L = sizeof(V) / sizeof(double);
  double* SY = SX + k;
  Index p = 0;
  // Two vectors of points per round: four chains of dependent additions instead of two.
  for (; p + 2 * L <= k; p += 2 * L) {
    V sx0 = load<V>(SX + p), sy0 = load<V>(SY + p);
    V sx1 = load<V>(SX + p + L), sy1 = load<V>(SY + p + L);
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
      const V x0 = load<V>(s[g] + p), y0 = load<V>(s[g] + k + p);
      const V x1 = load<V>(s[g] + p + L), y1 = load<V>(s[g] + k + p + L);
      sx0 = sx0 + c[g] * x0 - sn[g] * y0;
      sy0 = sy0 + sn[g] * x0 + c[g] * y0;
      sx1 = sx1 + c[g] * x1 - sn[g] * y1;
      sy1 = sy1 + sn[g] * x1 + c[g] * y1;
    }
    store<V>(SX + p, sx0);
    store<V>(SY + p, sy0);
    store<V>(SX + p + L, sx1);
    store<V>(SY + p + L, sy1);
  }
  for (; p + L <= k; p += L) {
    V sx = load<V>(SX + p), sy = load<V>(SY + p);
#pragma GCC unroll 8
    for (int g = 0; g < G; ++g) {
      const V x = load<V>(s[g] + p), y = load<V>(s[g] + k + p);
      sx = sx + c[g] * x - sn[g] * y;
      sy = sy + sn[g] * x + c[g] * y;
    }
    store<V>(SX + p, sx);
    store<V>(SY + p, sy);
  }
  for (; p < k; ++p)
    for (int g = 0; g < G; ++g) {
      SX[p] += c[g] * s[g][p] - sn[g] * s[g][k + p];
      SY[p] += sn[g] * s[g][p] + c[g] * s[g][k + p];
    }
}

// One specimen: the same kernels with a group of one.
template <class V>
inline __attribute__((always_inline)) void turn_sums_on(const double* s, const double* ref, Index k,
                                                        double* ct, double* st) {
  group_turn_sums<V, 1>(&s, ref, k, ct, st);
}
template <class V>
inline __attribute__((always_inline)) void add_turned_on(const double* X, Index k, double c,
                                                         double s, double* SX) {
  group_add_turned<V, 1>(&X, k, &c, &s, SX);
}

void turn_sums_narrow(const double* s, const double* ref, Index k, double* ct, double* st) {
  turn_sums_on<Lanes2>(s, ref, k, ct, st);
}
void add_turned_narrow(const double* X, Index k, double c, double s, double* SX) {
  add_turned_on<Lanes2>(X, k, c, s, SX);
}

constexpr int kGroup = 8;  // specimens per step of the consensus pass

// cos and sin of atan2(st, ct), without forming the angle; `none` when both sums are 0.
inline __attribute__((always_inline)) Turn turn_from_sums(double ct, double st, Turn none) {
  double r = std::sqrt(ct * ct + st * st);
  if (r == 0) return none;
  if (!std::isfinite(r)) r = std::hypot(ct, st);  // squares beyond the double range
  return {ct / r, st / r};
}

// The groups of kGroup specimens of a consensus pass, one after the other: the group's turn
// sums (its specimens come into the cache), its turns, then its turned addition from the cache.
template <class V>
inline __attribute__((always_inline)) void groups_pass_on(const double* w, Index k, Index groups,
                                                          const double* ref, Turn* turns,
                                                          double* sum) {
  const double* group[kGroup];
  double ct[kGroup], st[kGroup], c[kGroup], sn[kGroup];
  for (Index gi = 0; gi < groups; ++gi) {
    for (int g = 0; g < kGroup; ++g) group[g] = w + (gi * kGroup + g) * 2 * k;
    group_turn_sums<V, kGroup>(group, ref, k, ct, st);
    for (int g = 0; g < kGroup; ++g) {
      Turn& t = turns[gi * kGroup + g];
      t = turn_from_sums(ct[g], st[g], t);
      c[g] = t.c;
      sn[g] = t.s;
    }
    group_add_turned<V, kGroup>(group, k, c, sn, sum);
  }
}

void groups_pass_narrow(const double* w, Index k, Index groups, const double* ref, Turn* turns,
                        double* sum) {
  groups_pass_on<Lanes2>(w, k, groups, ref, turns, sum);
}

struct Kernels {
  void (*turn_sums)(const double*, const double*, Index, double*, double*);
  void (*add_turned)(const double*, Index, double, double, double*);
  void (*groups_pass)(const double*, Index, Index, const double*, Turn*, double*);
};

#ifdef TAV_WIDE_KERNELS
__attribute__((target("avx2,fma"))) void turn_sums_wide(const double* s, const double* ref, Index k,
                                                        double* ct, double* st) {
  turn_sums_on<Lanes4>(s, ref, k, ct, st);
}
__attribute__((target("avx2,fma"))) void add_turned_wide(const double* X, Index k, double c,
                                                         double s, double* SX) {
  add_turned_on<Lanes4>(X, k, c, s, SX);
}
__attribute__((target("avx2,fma"))) void groups_pass_wide(const double* w, Index k, Index groups,
                                                          const double* ref, Turn* turns,
                                                          double* sum) {
  groups_pass_on<Lanes4>(w, k, groups, ref, turns, sum);
}
__attribute__((target("avx512f,avx2,fma"))) void turn_sums_widest(const double* s,
                                                                  const double* ref, Index k,
                                                                  double* ct, double* st) {
  turn_sums_on<Lanes8>(s, ref, k, ct, st);
}
__attribute__((target("avx512f,avx2,fma"))) void add_turned_widest(const double* X, Index k,
                                                                   double c, double s, double* SX) {
  add_turned_on<Lanes8>(X, k, c, s, SX);
}
__attribute__((target("avx512f,avx2,fma"))) void groups_pass_widest(const double* w, Index k,
                                                                    Index groups, const double* ref,
                                                                    Turn* turns, double* sum) {
  groups_pass_on<Lanes8>(w, k, groups, ref, turns, sum);
}

#endif

// The kernels of the width kernel_width() names: plain is the two-lane path.
const Kernels& kernels() {
#ifdef TAV_WIDE_KERNELS
  static const Kernels widest = {turn_sums_widest, add_turned_widest, groups_pass_widest};
  static const Kernels wide = {turn_sums_wide, add_turned_wide, groups_pass_wide};
#endif
  static const Kernels narrow = {turn_sums_narrow, add_turned_narrow, groups_pass_narrow};
  switch (kernel_width()) {
#ifdef TAV_WIDE_KERNELS
    case VectorWidth::avx512: return widest;
    case VectorWidth::avx2: return wide;
#endif
    default: return narrow;
  }
}

}  // namespace

Turn best_turn(const double* specimen, const TurnTarget& target, Turn none) {
  double ct, st;
  kernels().turn_sums(specimen, target.ref(), target.size() / 2, &ct, &st);
  return turn_from_sums(ct, st, none);
}

void best_turns_and_sum(const double* w, Index n, const TurnTarget& target, Turn* turns,
                        double* sum) {
  const Index k = target.size() / 2;
  const Index groups = n / kGroup;
  if (groups > 0) kernels().groups_pass(w, k, groups, target.ref(), turns, sum);
  for (Index i = groups * kGroup; i < n; ++i) {
    turns[i] = best_turn(w + i * 2 * k, target, turns[i]);
    add_turned(w + i * 2 * k, k, turns[i], sum);
  }
}

void add_turned(const double* specimen, Index k, Turn t, double* sum) {
  kernels().add_turned(specimen, k, t.c, t.s, sum);
}

}  // namespace tav::detail
