// The vectorised blur kernels of one instruction set, chosen once at run time:
// AVX2 with FMA where the processor has them (with the recursive Gaussian in
// AVX-512 where it has that too), else the SSE2 baseline. Every set gives the
// same bytes; only the speed differs.
#pragma once

#include "filters/binomial_kernel_memory.h"
#include "filters/box_kernel_memory.h"
#include "filters/gaussian_coefficients.h"
#include "filters/pixel_lines.h"
#include "filters/row_block.h"

#include <cstddef>
#include <cstdint>

namespace tessaly {

struct BlurKernelSet {
  // Bytes per vector chunk; a transposed group holds chunk / 4 image rows.
  unsigned chunk;
  void (*rowsToBlock)(const std::uint8_t* first, std::ptrdiff_t pitch, std::uint32_t width, std::uint8_t* block,
                      std::ptrdiff_t blockStride);
  void (*blockToRows)(const std::uint8_t* block, std::ptrdiff_t blockStride, std::uint32_t width, std::uint8_t* first,
                      std::ptrdiff_t pitch);
  // Box kernel down the columns of a block in place.
  void (*boxBlock16)(const RowBlock& block, std::uint32_t radius, const BoxBlockMemory& memory);
  void (*boxBlock32)(const RowBlock& block, std::uint32_t radius, const BoxBlockMemory& memory);
  // Box kernel along one row, in place.
  void (*boxRow16)(const PixelLine& row, std::uint32_t radius, const BoxRowMemory& memory);
  void (*boxRow32)(const PixelLine& row, std::uint32_t radius, const BoxRowMemory& memory);
  // Binomial kernel down the columns of a block in place, and along one row
  // in place: in 16-bit form for radius 1 … 4 (entries 0 … 3), then in
  // 16-bit pairs for radius 5 … 12, in two levels (pairs, then doubles) for
  // radius 13 … 22 and in double form (entries 4, 5 and 6).
  void (*binomialBlock[7])(const RowBlock& block, const BinomialMemory& memory);
  void (*binomialRow[7])(const PixelLine& row, const BinomialMemory& memory);
  // Recursive Gaussian down the columns of a block in place (bytes a multiple
  // of chunk); `state` holds 3 × block bytes doubles.
  void (*gaussianBlock)(const RowBlock& block, const GaussianCoefficients& k, double* state);
};

const BlurKernelSet& blurKernels();
const BlurKernelSet& sse2BlurKernels();
const BlurKernelSet& avx2BlurKernels();
const BlurKernelSet& avx512BlurKernels();
bool processorRunsAvx2();
bool processorRunsAvx512();

}  // namespace tessaly
