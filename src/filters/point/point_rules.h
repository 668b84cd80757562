// The point filters pixel by pixel: each output word from its own input word,
// written as plainly as the commands define them. The vector kernels must give
// the same words; the lines' last pixels (fewer than a vector) go through these.
#pragma once

#include "filters/byte_conversion.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tessaly::point {

// The floats nearest to 0.31, 0.61 and 0.08, widened to double where used.
inline constexpr float kBlueWeight = 0.31f;
inline constexpr float kGreenWeight = 0.61f;
inline constexpr float kRedWeight = 0.08f;

struct Channels {
  std::uint32_t b, g, r, a;
};

inline Channels split(std::uint32_t p) { return {p & 0xFFu, (p >> 8) & 0xFFu, (p >> 16) & 0xFFu, p >> 24}; }

inline std::uint32_t join(std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
  return b | (g << 8) | (r << 16) | (a << 24);
}

inline std::uint32_t negative(std::uint32_t p) { return p ^ 0x00FFFFFFu; }

// maskedThreshold: the threshold byte in all four bytes, under the mask.
inline std::uint32_t threshold(std::uint32_t p, std::uint32_t mask, std::uint32_t maskedThreshold) {
  return (p & mask) < maskedThreshold ? (p & 0xFF000000u) : 0xFFFFFFFFu;
}

// A negative or NaN factor counts as 0; there is no upper limit.
inline float brightnessFactor(float f) { return f > 0.0f ? f : 0.0f; }

// new = trunc(c * f + 0.5), at most 255: the same for every pixel, so tabulated.
using ByteTable = std::array<std::uint8_t, 256>;
inline ByteTable brightnessTable(float factor) {
  ByteTable table{};
  for (unsigned c = 0; c < 256; ++c) table[c] = truncateToByte(static_cast<double>(c) * static_cast<double>(factor) + 0.5);
  return table;
}

// tables: blue, green, red, alpha.
inline std::uint32_t brightness(std::uint32_t p, const ByteTable (&tables)[4]) {
  const Channels c = split(p);
  return join(tables[0][c.b], tables[1][c.g], tables[2][c.r], tables[3][c.a]);
}

// trunc(0.61 G + 0.31 B + 0.08 R), the first two products added first.
inline std::uint32_t weightedGrey(const Channels& c) {
  return truncateToByte(static_cast<double>(kGreenWeight) * c.g + static_cast<double>(kBlueWeight) * c.b +
                        static_cast<double>(kRedWeight) * c.r);
}
inline std::uint32_t lightnessGrey(const Channels& c) {
  return (std::max({c.r, c.g, c.b}) + std::min({c.r, c.g, c.b})) / 2;
}
inline std::uint32_t averageGrey(const Channels& c) { return (c.r + c.g + c.b) / 3; }

template <std::uint32_t (*greyOf)(const Channels&)>
std::uint32_t grey(std::uint32_t p) {
  const Channels c = split(p);
  const std::uint32_t g = greyOf(c);
  return join(g, g, g, c.a);
}

// keep = s, toward = 1 − s, both as doubles.
inline std::uint32_t saturation(std::uint32_t p, double keep, double toward) {
  const Channels c = split(p);
  const double luma = (static_cast<double>(kBlueWeight) * c.b + static_cast<double>(kGreenWeight) * c.g) +
                      static_cast<double>(kRedWeight) * c.r;
  const double k = static_cast<float>(luma * toward);
  // Below 0 (Percent below 0) the channel is 0; above 255 it is 255.
  return join(truncateToByte(c.b * keep + k), truncateToByte(c.g * keep + k), truncateToByte(c.r * keep + k), c.a);
}

}  // namespace tessaly::point
