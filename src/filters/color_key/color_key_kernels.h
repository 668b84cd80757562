// The colour-key kernels of one instruction set, chosen once per call. Every
// set gives the same bytes; only the speed differs.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

struct ColorKeyKernels {
  void (*hardKey)(const PixelRect& image, std::uint32_t colour);
  void (*softKey)(const PixelRect& image, std::uint32_t colour);
  void (*replace)(const PixelRect& image, std::uint32_t replacement, std::uint32_t source);
};

const ColorKeyKernels& colorKeyKernels();

}  // namespace tessaly
