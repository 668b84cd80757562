// The recursive Gaussian built for AVX-512, used only when the processor has
// it; every other kernel stays the AVX2 one. Everything this unit shares with
// others is included before the target switch (see blur_kernels_avx2.cpp).

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "filters/blur_kernel_set.h"
#include "filters/gaussian_coefficients.h"
#include "filters/row_block.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx512f,avx2,fma")

#include "filters/gaussian_kernel.h"
#include "filters/simd_avx512.h"

namespace tessaly {

namespace {

// Whole 64-byte chunks here, a 32-byte rest by the AVX2 kernel; the state of
// each part is its own share of the caller's 3 × bytes doubles.
void gaussianBlockAvx512(const RowBlock& block, const GaussianCoefficients& k, double* state) {
  const std::uint32_t wide = block.bytes / simd::Avx512::kChunk * simd::Avx512::kChunk;
  if (wide > 0) simd::gaussianBlock<simd::Avx512>(RowBlock{block.first, block.stride, block.rows, wide}, k, state);
  if (wide < block.bytes) {
    const RowBlock rest{block.first + wide, block.stride, block.rows, block.bytes - wide};
    avx2BlurKernels().gaussianBlock(rest, k, state + 3 * std::size_t{wide});
  }
}

}  // namespace

const BlurKernelSet& avx512BlurKernels() {
  static const BlurKernelSet kernels = [] {
    BlurKernelSet set = avx2BlurKernels();
    set.gaussianBlock = gaussianBlockAvx512;
    return set;
  }();
  return kernels;
}

}  // namespace tessaly

#pragma GCC pop_options
