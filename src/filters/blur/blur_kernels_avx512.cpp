// The AVX-512 blur kernels: the AVX2 set with the recursive Gaussian replaced,
// used only when the processor has AVX-512. Everything this unit shares with
// others is included before the target switch (see blur_kernels_avx2.cpp).

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "filters/blur/blur_kernel_set.h"
#include "filters/blur/gaussian_coefficients.h"
#include "filters/blur/row_block.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx2,fma")

#include "filters/blur/gaussian_kernel.h"
#include "filters/simd/avx512.h"

namespace tessaly::simd {

namespace {

// Whole 64-byte chunks here, a 32-byte rest by the AVX2 kernel; the state of
// each part is its own share of the caller's kGaussianStatePerByte × bytes
// doubles.
void gaussianBlockAvx512(const RowBlock& block, const GaussianCoefficients& k, double* state) {
  const std::uint32_t wide = block.bytes / Avx512::kChunk * Avx512::kChunk;
  if (wide > 0) gaussianBlock<Avx512>(RowBlock{block.first, block.stride, block.rows, wide}, k, state);
  if (wide < block.bytes) {
    const RowBlock rest{block.first + wide, block.stride, block.rows, block.bytes - wide};
    kernelTable<BlurKernelSet, Avx2>().gaussianBlock(rest, k, state + kGaussianStatePerByte * std::size_t{wide});
  }
}

}  // namespace

template <>
const BlurKernelSet& kernelTable<BlurKernelSet, Avx512>() {
  static const BlurKernelSet table = [] {
    BlurKernelSet set = kernelTable<BlurKernelSet, Avx2>();
    set.gaussianBlock = gaussianBlockAvx512;
    return set;
  }();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
