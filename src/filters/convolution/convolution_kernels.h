// The convolution kernels of one instruction set, chosen once per call. Every
// set gives the same bytes; only the speed differs.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

// Sharpens the inner pixels 1 ... width - 2 of one row into `out`, reading
// the row and its neighbours above and below from unchanging copies.
using SharpenRowKernel = void (*)(std::uint8_t* out, const std::uint8_t* up, const std::uint8_t* middle,
                                  const std::uint8_t* down, std::uint32_t width);
// The whole emboss of an image, with width × height bytes of grey memory.
using EmbossKernel = void (*)(const PixelRect& image, std::uint8_t* grey);

struct ConvolutionKernels {
  SharpenRowKernel sharpenRow;
  EmbossKernel emboss;
};

const ConvolutionKernels& convolutionKernels();

}  // namespace tessaly
