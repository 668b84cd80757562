// The 8-bit linear-filter step a + (((b - a) × w + 128) >> 8) on all four
// channels of a texel at once. It equals (a × (256 - w) + b × w + 128) >> 8,
// which stays below 2^16 per channel, so the channels can sit in 16-bit lanes
// of one 64-bit word without carries between them.
#pragma once

#include <cstdint>

namespace swd3d::raster {

inline constexpr std::uint64_t kLaneBytes = 0x00FF00FF00FF00FFull;

// 0xAARRGGBB as lanes blue, red, green, alpha (low to high).
inline std::uint64_t expandTexel(std::uint32_t word) {
  const std::uint64_t value = word;
  return (value | (value << 24)) & kLaneBytes;
}

inline std::uint32_t compactTexel(std::uint64_t lanes) {
  return static_cast<std::uint32_t>(lanes | (lanes >> 24));
}

// weight in 0 .. 255
inline std::uint64_t lerpLanes(std::uint64_t a, std::uint64_t b, std::uint32_t weight) {
  const std::uint64_t rounding = 0x0080008000800080ull;
  return ((a * (256 - weight) + b * weight + rounding) >> 8) & kLaneBytes;
}

// The bilinear texel: along u between the left and right texels of each row
// first, then along v.
inline std::uint32_t bilinearTexel(std::uint32_t topLeft, std::uint32_t topRight,
                                   std::uint32_t bottomLeft, std::uint32_t bottomRight,
                                   std::uint32_t weightU, std::uint32_t weightV) {
  const std::uint64_t top = lerpLanes(expandTexel(topLeft), expandTexel(topRight), weightU);
  const std::uint64_t bottom =
      lerpLanes(expandTexel(bottomLeft), expandTexel(bottomRight), weightU);
  return compactTexel(lerpLanes(top, bottom, weightV));
}

}  // namespace swd3d::raster
