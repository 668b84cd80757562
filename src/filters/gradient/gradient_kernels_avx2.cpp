// The gradient kernels built for AVX2 with FMA, used only when the
// processor has both. Everything this unit shares with others is included
// before the target switch.
#include "filters/gradient/gradient_ink.h"
#include "filters/gradient/gradient_kernels.h"
#include "filters/gradient/gradient_scalar_kernels.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

#include "filters/gradient/gradient_kernel_table.h"
#include "filters/simd/pixel_lanes_avx2.h"

namespace tessaly::simd {

template <>
const GradientKernels& kernelTable<GradientKernels, Avx2>() {
  static constexpr GradientKernels table = makeGradientTable<Avx2>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
