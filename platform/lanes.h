#pragma once
// Blocks of R doubles for kernels written once and compiled for every vector width: as Eigen
// arrays on the plain path, as GCC vectors inside functions compiled for AVX-512 (the compiler
// maps a block onto as many of its registers as it needs). Blocks wider than the registers
// go through memory, so blocks of eight or sixteen doubles are for AVX-512 only. The helpers are
// always inlined, so that they take the instruction set of the kernel that calls them.
#include <cstring>
#include <type_traits>

#include "platform/matrix.h"

// The wide blocks are only ever used inside functions compiled for the wide instructions, so
// the calling convention for them that GCC warns about never applies.
#pragma GCC diagnostic ignored "-Wpsabi"

#define TAV_ALWAYS_INLINE inline __attribute__((always_inline))

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TAV_AVX2_KERNEL __attribute__((target("avx2,fma")))
#define TAV_AVX512_KERNEL __attribute__((target("avx512f,avx2,fma")))
#endif

namespace tav::lanes {

struct EigenBlocks {
  template <int R>
  using Block = Eigen::Array<double, R, 1>;
};

struct VectorBlocks {
  template <int R>
  struct Of {
    typedef double type __attribute__((vector_size(R * sizeof(double))));
  };
  template <int R>
  using Block = typename Of<R>::type;
};

template <class K, int R>
using Block = typename K::template Block<R>;

template <class K, int R>
TAV_ALWAYS_INLINE Block<K, R> load(const double* p) {
  if constexpr (std::is_same_v<K, EigenBlocks>) {
    return Eigen::Map<const Block<K, R>>(p);
  } else {
    Block<K, R> v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
}

template <class K, int R>
TAV_ALWAYS_INLINE void store(double* p, const Block<K, R>& v) {
  if constexpr (std::is_same_v<K, EigenBlocks>)
    Eigen::Map<Block<K, R>>{p} = v;
  else
    std::memcpy(p, &v, sizeof v);
}

template <class K, int R>
TAV_ALWAYS_INLINE Block<K, R> zero() {
  if constexpr (std::is_same_v<K, EigenBlocks>)
    return Block<K, R>::Zero();
  else
    return Block<K, R>{};
}

template <class K, int R>
TAV_ALWAYS_INLINE double sum(const Block<K, R>& v) {
  if constexpr (std::is_same_v<K, EigenBlocks>) {
    return v.sum();
  } else {
    double s = 0;
    for (int j = 0; j < R; ++j) s += v[j];
    return s;
  }
}

}  // namespace tav::lanes
