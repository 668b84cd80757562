// The blur kernels built for AVX2 with FMA, used only when the processor has
// both. Everything this unit shares with others is included before the target
// switch, so only the templates instantiated here for Avx2 carry AVX2 code.
#include "filters/blur/binomial_kernel_memory.h"
#include "filters/blur/binomial_pair_ops.h"
#include "filters/blur/binomial_weights.h"
#include "filters/blur/blur_arithmetic.h"
#include "filters/blur/blur_kernel_set.h"
#include "filters/blur/box_divisors.h"
#include "filters/blur/box_kernel_memory.h"
#include "filters/blur/pixel_lines.h"
#include "filters/blur/row_block.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

#include "filters/blur/binomial_pair_ops_avx2.h"
#include "filters/blur/blur_kernel_table.h"
#include "filters/simd/avx2.h"

namespace tessaly::simd {

template <>
const BlurKernelSet& kernelTable<BlurKernelSet, Avx2>() {
  static constexpr BlurKernelSet table = makeBlurKernelTable<Avx2>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
