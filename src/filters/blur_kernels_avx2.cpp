// The kernels built for AVX2 with FMA, used only when the processor has both.
// Everything this unit shares with others is included before the target
// switch, so only the templates instantiated here for Avx2 carry AVX2 code.
#include "filters/binomial_kernel_memory.h"
#include "filters/binomial_pair_ops.h"
#include "filters/binomial_weights.h"
#include "filters/blur_arithmetic.h"
#include "filters/blur_kernel_set.h"
#include "filters/box_divisors.h"
#include "filters/box_kernel_memory.h"
#include "filters/pixel_lines.h"
#include "filters/row_block.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

#include "filters/binomial_kernel.h"
#include "filters/binomial_pair_kernel.h"
#include "filters/binomial_pair_ops_avx2.h"
#include "filters/binomial_two_level_kernel.h"
#include "filters/box_kernel.h"
#include "filters/box_row_kernel.h"
#include "filters/gaussian_kernel.h"
#include "filters/simd_avx2.h"
#include "filters/transpose_kernel.h"

namespace tessaly {

const BlurKernelSet& avx2BlurKernels() {
  using simd::Avx2;
  static const BlurKernelSet kernels{
      Avx2::kChunk,
      simd::rowsToBlock<Avx2>,
      simd::blockToRows<Avx2>,
      simd::boxBlock<Avx2, 16>,
      simd::boxBlock<Avx2, 32>,
      simd::boxRow<Avx2, 16>,
      simd::boxRow<Avx2, 32>,
      {simd::binomialBlockShort<Avx2, 1>, simd::binomialBlockShort<Avx2, 2>, simd::binomialBlockShort<Avx2, 3>,
       simd::binomialBlockShort<Avx2, 4>, simd::binomialBlockPairs<Avx2>, simd::binomialBlockTwoLevel<Avx2>, simd::binomialBlockWide<Avx2, double>},
      {simd::binomialRowShort<Avx2, 1>, simd::binomialRowShort<Avx2, 2>, simd::binomialRowShort<Avx2, 3>,
       simd::binomialRowShort<Avx2, 4>, simd::binomialRowPairs<Avx2>, simd::binomialRowTwoLevel<Avx2>, simd::binomialRowWide<Avx2, double>},
      simd::gaussianBlock<Avx2>,
  };
  return kernels;
}

}  // namespace tessaly

#pragma GCC pop_options
