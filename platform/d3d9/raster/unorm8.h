// 8-bit unsigned normalised channels: a byte v stands for v / 255. Every
// conversion from a computed value back to a byte goes through toUnorm8, so
// the device rounds in exactly one way: saturate to [0, 1], then round to
// nearest. Results that are exact rationals of bytes (blends of 8-bit
// sources) use div255Rounded, which gives the same byte.
#pragma once

#include <cstdint>

namespace swd3d::raster {

inline float fromUnorm8(std::uint32_t byte) { return static_cast<float>(byte) * (1.0f / 255.0f); }

// NaN becomes 0. Halves cannot arise from 8-bit inputs (k / 255 is never
// within 1/510 of a half), so ties need no rule of their own.
inline std::uint8_t toUnorm8(float value) {
  if (!(value > 0.0f)) return 0;
  if (value >= 1.0f) return 255;
  return static_cast<std::uint8_t>(value * 255.0f + 0.5f);
}

// round(n / 255) for 0 <= n <= 255²: what toUnorm8 gives for the value
// n / 255², exactly. (n + 128) × 257 >> 16 stays within 32 bits, and (n + 128)
// within 16, so vector code can use a 16-bit high multiply.
inline std::uint32_t div255Rounded(std::uint32_t n) { return ((n + 128) * 257) >> 16; }

// Channel bytes of an A8R8G8B8 word, 0xAARRGGBB.
inline std::uint32_t channel(std::uint32_t word, int shift) { return (word >> shift) & 0xFFu; }
inline constexpr int kAlphaShift = 24;
inline constexpr int kRedShift = 16;
inline constexpr int kGreenShift = 8;
inline constexpr int kBlueShift = 0;

}  // namespace swd3d::raster
