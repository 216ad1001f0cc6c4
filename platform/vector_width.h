#pragma once
// The vector width of the numeric kernels, chosen from the processor when the program starts,
// so that one build runs on any x86-64 processor and at the widest width the processor has.
#include <vector>

namespace tav {

// plain: the kernels as Eigen code (Procrustes: two-lane vectors) at the build's own
// instruction set, SSE2 unless built with -march; avx2: the Procrustes kernels in 4 lanes with
// fused multiply-adds, the sliding kernels plain; avx512: every kernel in 8 lanes.
enum class VectorWidth { plain, avx2, avx512 };

// Every width this processor runs, plain first. Only plain in a build with TAV_PLAIN_KERNELS
// or for a processor or compiler without the wider kernels.
const std::vector<VectorWidth>& supported_vector_widths();

// The width the kernels use: the widest supported one unless use_vector_width chose another.
VectorWidth kernel_width();

// Makes every kernel use w from now on (tests and benchmarks compare the paths). Raises Error
// when this processor does not run w.
void use_vector_width(VectorWidth w);

const char* vector_width_name(VectorWidth w);

}  // namespace tav
