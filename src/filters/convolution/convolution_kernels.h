// The convolution kernels of one instruction set, chosen once per call (see
// filters/simd/kernel_table.h). Every set gives the same bytes; only the
// speed differs. They work on bytes and 16-bit lanes, which AVX-512 has only
// with its BW extension: AVX2 is the widest set here.
#pragma once

#include "filters/simd/instruction_set.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Sharpens the inner pixels 1 ... width - 2 of one row into `out`, reading
// the row and its neighbours above and below from unchanging copies.
using SharpenRowKernel = void (*)(std::uint8_t* out, const std::uint8_t* up, const std::uint8_t* middle,
                                  const std::uint8_t* down, std::uint32_t width);
// The whole emboss of an image, with embossGreyBytes(image) bytes of grey
// memory (see emboss.h).
using EmbossKernel = void (*)(const PixelRect& image, std::uint8_t* grey);

struct ConvolutionKernels {
  static constexpr simd::InstructionSet kWidest = simd::InstructionSet::avx2;

  SharpenRowKernel sharpenRow;
  EmbossKernel emboss;
};

const ConvolutionKernels& convolutionKernels();

}  // namespace tessaly
