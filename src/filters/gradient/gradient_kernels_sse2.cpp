// The gradient kernels built for SSE2, the baseline of every build.
#include "filters/gradient/gradient_kernel_table.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes_sse2.h"

namespace tessaly::simd {

template <>
const GradientKernels& kernelTable<GradientKernels, Sse2>() {
  static constexpr GradientKernels table = makeGradientTable<Sse2>();
  return table;
}

}  // namespace tessaly::simd
