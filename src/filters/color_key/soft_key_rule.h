// The soft colour key of one pixel, every step in single precision. The
// removal fraction a is the least opacity with which some colour laid over
// the key gives back the pixel; the pixel becomes that colour with alpha a.
#pragma once

#include "filters/byte_conversion.h"

#include <cstdint>

namespace tessaly {

struct SoftKeyRule {
  std::uint32_t key;  // red, green and blue of the key colour
  float k[3];         // the key's blue, green and red bytes

  explicit SoftKeyRule(std::uint32_t colour) : key(colour & 0x00FFFFFFu) {
    for (int c = 0; c < 3; ++c) k[c] = static_cast<float>((key >> (8 * c)) & 0xFFu);
  }

  std::uint32_t apply(std::uint32_t pixel) const {
    if ((pixel & 0x00FFFFFFu) == key) return 0;  // the key itself: transparent black
    float p[3];
    for (int c = 0; c < 3; ++c) p[c] = static_cast<float>((pixel >> (8 * c)) & 0xFFu);
    // A channel below the key needs at least (k - p) / k, one above it
    // (p - k) / (255 - k); k = 0 only meets p > k and k = 255 only p < k.
    float a = 0.0f;
    for (int c = 2; c >= 0; --c) {
      float candidate = 0.0f;
      if (p[c] < k[c]) candidate = (k[c] - p[c]) / k[c];
      if (p[c] > k[c]) candidate = (p[c] - k[c]) / (255.0f - k[c]);
      if (candidate > a) a = candidate;
    }
    // a > 0 here, since some channel differs from the key.
    const float n = 1.0f - a;
    std::uint32_t result = static_cast<std::uint32_t>(truncateToByte(255.0f * a)) << 24;
    for (int c = 0; c < 3; ++c) {
      const float product = k[c] * n;
      const float removed = p[c] - product;
      result |= static_cast<std::uint32_t>(truncateToByte(removed / a)) << (8 * c);
    }
    return result;
  }
};

}  // namespace tessaly
