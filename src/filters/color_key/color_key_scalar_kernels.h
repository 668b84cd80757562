// The colour-key rules one pixel at a time: what a vector kernel leaves over
// at the end of a row.
#pragma once

#include "filters/color_key/soft_key_rule.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

inline std::uint32_t hardKeyPixel(std::uint32_t pixel, std::uint32_t key) {
  return (pixel & 0x00FFFFFFu) == key ? pixel & 0x00FFFFFFu : pixel;
}

inline void hardKeyScalar(const PixelRect& image, std::uint32_t colour) {
  const std::uint32_t key = colour & 0x00FFFFFFu;
  transformPixels(image, [key](std::uint32_t p) { return hardKeyPixel(p, key); });
}

inline void softKeyScalar(const PixelRect& image, std::uint32_t colour) {
  const SoftKeyRule rule(colour);
  transformPixels(image, [&rule](std::uint32_t p) { return rule.apply(p); });
}

inline void replaceScalar(const PixelRect& image, std::uint32_t replacement, std::uint32_t source) {
  transformPixels(image, [=](std::uint32_t p) { return p == source ? replacement : p; });
}

}  // namespace tessaly
