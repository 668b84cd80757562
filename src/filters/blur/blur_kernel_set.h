// The vectorised blur kernels of one instruction set, chosen once per pass
// (see simd/kernel_table.h): AVX2 with FMA where the processor has them (with
// the recursive Gaussian in AVX-512 where it has that too), else the SSE2
// baseline. Every set gives the same bytes; only the speed differs.
#pragma once

#include "filters/blur/binomial_form.h"
#include "filters/blur/binomial_kernel_memory.h"
#include "filters/blur/box_kernel_memory.h"
#include "filters/blur/gaussian_coefficients.h"
#include "filters/blur/pixel_lines.h"
#include "filters/blur/row_block.h"
#include "filters/simd/kernel_table.h"

#include <cstddef>
#include <cstdint>

namespace tessaly {

// The binomial kernel of one form (or one short radius): down the columns of
// a block in place, and along one row in place.
struct BinomialKernels {
  void (*block)(const RowBlock& block, const BinomialMemory& memory);
  void (*row)(const PixelLine& row, const BinomialMemory& memory);
};

struct BlurKernelSet {
  static constexpr simd::InstructionSet kWidest = simd::InstructionSet::avx512;

  // Bytes per vector chunk; a transposed group holds chunk / 4 image rows.
  unsigned chunk;
  void (*rowsToBlock)(const std::uint8_t* first, std::ptrdiff_t pitch, std::uint32_t width, std::uint8_t* block,
                      std::ptrdiff_t blockStride);
  void (*blockToRows)(const std::uint8_t* block, std::ptrdiff_t blockStride, std::uint32_t width, std::uint8_t* first,
                      std::ptrdiff_t pitch);
  // Box kernel down the columns of a block in place, in 16- or 32-bit sums.
  void (*boxBlock16)(const RowBlock& block, std::uint32_t radius, const BoxBlockMemory& memory);
  void (*boxBlock32)(const RowBlock& block, std::uint32_t radius, const BoxBlockMemory& memory);
  // Box kernel along one row, in place.
  void (*boxRow16)(const PixelLine& row, std::uint32_t radius, const BoxRowMemory& memory);
  void (*boxRow32)(const PixelLine& row, std::uint32_t radius, const BoxRowMemory& memory);
  BinomialKernels binomialShort[kBinomialShortRadius];  // by radius − 1
  BinomialKernels binomialPairs, binomialTwoLevel, binomialDoubles;
  // Recursive Gaussian down the columns of a block in place (bytes a multiple
  // of chunk), each result kept within its column's lowest and highest byte;
  // `state` holds kGaussianStatePerByte × block bytes doubles.
  void (*gaussianBlock)(const RowBlock& block, const GaussianCoefficients& k, double* state);

  const BinomialKernels& binomial(std::uint32_t radius) const {
    switch (binomialForm(radius)) {
      case BinomialForm::shortSums: return binomialShort[radius - 1];
      case BinomialForm::pairs: return binomialPairs;
      case BinomialForm::twoLevel: return binomialTwoLevel;
      case BinomialForm::doubles: break;
    }
    return binomialDoubles;
  }
};

namespace simd {
template <>
const BlurKernelSet& kernelTable<BlurKernelSet, Sse2>();
template <>
const BlurKernelSet& kernelTable<BlurKernelSet, Avx2>();
template <>
const BlurKernelSet& kernelTable<BlurKernelSet, Avx512>();
}  // namespace simd

inline const BlurKernelSet& blurKernels() { return simd::kernels<BlurKernelSet>(); }

}  // namespace tessaly
