// The gradient kernels built for AVX-512, used only when the
// processor has it. Everything this unit shares with others is included
// before the target switch.

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#include "filters/gradient/gradient_ink.h"
#include "filters/gradient/gradient_kernels.h"
#include "filters/gradient/gradient_scalar_kernels.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx512f,avx2,fma")

#include "filters/gradient/gradient_kernel_table.h"
#include "filters/simd/pixel_lanes_avx512.h"

namespace tessaly::simd {

template <>
const GradientKernels& kernelTable<GradientKernels, Avx512>() {
  static constexpr GradientKernels table = makeGradientTable<Avx512>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
