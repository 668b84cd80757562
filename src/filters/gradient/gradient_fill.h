// A run of pixels that all take one colour under the channel mask: the ends
// of a gradient that the Mode fills with Color1 or Color2.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

inline void fillGradientRun(std::uint8_t* first, std::uint32_t count, std::uint32_t colour, std::uint32_t mask) {
  const std::uint32_t kept = ~mask;
  const std::uint32_t painted = colour & mask;
  std::uint8_t* p = first;
  if (kept == 0) {
    for (std::uint32_t i = 0; i < count; ++i, p += 4) storePixel(p, painted);
  } else {
    for (std::uint32_t i = 0; i < count; ++i, p += 4) storePixel(p, (loadPixel(p) & kept) | painted);
  }
}

}  // namespace tessaly
