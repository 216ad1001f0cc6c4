#include "platform/vector_width.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/error.h"

namespace tav {
namespace {

std::vector<VectorWidth> detect_widths() {
  std::vector<VectorWidth> widths = {VectorWidth::plain};
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(TAV_PLAIN_KERNELS)
  // libgcc's check includes the operating system's support for the wider registers.
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
    widths.push_back(VectorWidth::avx2);
    if (__builtin_cpu_supports("avx512f")) widths.push_back(VectorWidth::avx512);
  }
#endif
  return widths;
}

std::atomic<VectorWidth>& chosen() {
  static std::atomic<VectorWidth> width{supported_vector_widths().back()};
  return width;
}

}  // namespace

const std::vector<VectorWidth>& supported_vector_widths() {
  static const std::vector<VectorWidth> widths = detect_widths();
  return widths;
}

VectorWidth kernel_width() { return chosen().load(std::memory_order_relaxed); }

void use_vector_width(VectorWidth w) {
  const auto& all = supported_vector_widths();
  if (std::find(all.begin(), all.end(), w) == all.end())
    throw Error(std::string("this processor or build does not run the ") + vector_width_name(w) +
                " kernels");
  chosen().store(w, std::memory_order_relaxed);
}

const char* vector_width_name(VectorWidth w) {
  switch (w) {
    case VectorWidth::avx2: return "avx2";
    case VectorWidth::avx512: return "avx512";
    default: return "plain";
  }
}

}  // namespace tav
