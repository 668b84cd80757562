// The colour-key kernels built for AVX-512, used only when the
// processor has it. Everything this unit shares with others is included
// before the target switch.

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#include "filters/color_key/color_key_kernels.h"
#include "filters/color_key/color_key_scalar_kernels.h"
#include "filters/color_key/soft_key_rule.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx512f,avx2,fma")

#include "filters/color_key/color_key_kernel_table.h"
#include "filters/simd/pixel_lanes_avx512.h"

namespace tessaly::simd {

template <>
const ColorKeyKernels& kernelTable<ColorKeyKernels, Avx512>() {
  static constexpr ColorKeyKernels table = makeColorKeyTable<Avx512>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
