// The blur kernel table of one instruction set, from the kernel templates.
// Included only by the per-set units (blur_kernels_*.cpp), after their target
// switch.
#pragma once

#include "filters/blur/binomial_kernel.h"
#include "filters/blur/binomial_pair_kernel.h"
#include "filters/blur/binomial_two_level_kernel.h"
#include "filters/blur/blur_kernel_set.h"
#include "filters/blur/box_kernel.h"
#include "filters/blur/box_row_kernel.h"
#include "filters/blur/gaussian_kernel.h"
#include "filters/blur/transpose_kernel.h"

namespace tessaly::simd {

template <class Isa, std::uint32_t R>
constexpr BinomialKernels binomialShortKernels{binomialBlockShort<Isa, R>, binomialRowShort<Isa, R>};

template <class Isa>
constexpr BlurKernelSet makeBlurKernelTable() {
  static_assert(kBinomialShortRadius == 4, "one short kernel per radius below");
  return BlurKernelSet{
      Isa::kChunk,
      rowsToBlock<Isa>,
      blockToRows<Isa>,
      boxBlock<Isa, 16>,
      boxBlock<Isa, 32>,
      boxRow<Isa, 16>,
      boxRow<Isa, 32>,
      {binomialShortKernels<Isa, 1>, binomialShortKernels<Isa, 2>, binomialShortKernels<Isa, 3>,
       binomialShortKernels<Isa, 4>},
      {binomialBlockPairs<Isa>, binomialRowPairs<Isa>},
      {binomialBlockTwoLevel<Isa>, binomialRowTwoLevel<Isa>},
      {binomialBlockWide<Isa, double>, binomialRowWide<Isa, double>},
      gaussianBlock<Isa>,
  };
}

}  // namespace tessaly::simd
