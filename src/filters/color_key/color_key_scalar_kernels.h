// The colour-key rules one pixel at a time: what a vector kernel leaves over
// at the end of a row.
#pragma once

#include "filters/color_key/soft_key_rule.h"

#include <cstdint>

namespace tessaly {

inline std::uint32_t hardKeyPixel(std::uint32_t pixel, std::uint32_t key) {
  return (pixel & 0x00FFFFFFu) == key ? pixel & 0x00FFFFFFu : pixel;
}

}  // namespace tessaly
