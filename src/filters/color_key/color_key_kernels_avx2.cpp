// The colour-key kernels built for AVX2 with FMA, used only when the
// processor has both. Everything this unit shares with others is included
// before the target switch.
#include "filters/color_key/color_key_kernels.h"
#include "filters/color_key/color_key_scalar_kernels.h"
#include "filters/color_key/soft_key_rule.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

#include "filters/color_key/color_key_kernel_table.h"
#include "filters/simd/pixel_lanes_avx2.h"

namespace tessaly::simd {

template <>
const ColorKeyKernels& kernelTable<ColorKeyKernels, Avx2>() {
  static constexpr ColorKeyKernels table = makeColorKeyTable<Avx2>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
