// The kernels built for the SSE2 baseline.
#include "filters/blur_kernel_set.h"
#include "filters/binomial_kernel.h"
#include "filters/binomial_pair_kernel.h"
#include "filters/binomial_two_level_kernel.h"
#include "filters/box_kernel.h"
#include "filters/box_row_kernel.h"
#include "filters/gaussian_kernel.h"
#include "filters/simd_sse2.h"
#include "filters/transpose_kernel.h"

namespace tessaly {

const BlurKernelSet& sse2BlurKernels() {
  using simd::Sse2;
  static const BlurKernelSet kernels{
      Sse2::kChunk,
      simd::rowsToBlock<Sse2>,
      simd::blockToRows<Sse2>,
      simd::boxBlock<Sse2, 16>,
      simd::boxBlock<Sse2, 32>,
      simd::boxRow<Sse2, 16>,
      simd::boxRow<Sse2, 32>,
      {simd::binomialBlockShort<Sse2, 1>, simd::binomialBlockShort<Sse2, 2>, simd::binomialBlockShort<Sse2, 3>,
       simd::binomialBlockShort<Sse2, 4>, simd::binomialBlockPairs<Sse2>, simd::binomialBlockTwoLevel<Sse2>, simd::binomialBlockWide<Sse2, double>},
      {simd::binomialRowShort<Sse2, 1>, simd::binomialRowShort<Sse2, 2>, simd::binomialRowShort<Sse2, 3>,
       simd::binomialRowShort<Sse2, 4>, simd::binomialRowPairs<Sse2>, simd::binomialRowTwoLevel<Sse2>, simd::binomialRowWide<Sse2, double>},
      simd::gaussianBlock<Sse2>,
  };
  return kernels;
}

}  // namespace tessaly
