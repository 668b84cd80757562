// An unsigned 128-bit integer with just what the binomial kernel needs: the
// i686 compiler has no built-in 128-bit type.
#pragma once

#include "filters/exact_doubles.h"

#include <cstdint>

namespace tessaly {

struct Uint128 {
  std::uint64_t high = 0;
  std::uint64_t low = 0;

  friend Uint128 operator+(Uint128 a, Uint128 b) {
    const std::uint64_t low = a.low + b.low;
    return {a.high + b.high + (low < a.low ? 1u : 0u), low};
  }
  friend bool operator==(Uint128 a, Uint128 b) = default;

  // The product with a 32-bit factor; the caller keeps it below 2^128.
  Uint128 times(std::uint32_t factor) const {
    const std::uint64_t lowPart = (low & 0xFFFFFFFFu) * factor;
    const std::uint64_t highPart = (low >> 32) * factor;
    const std::uint64_t newLow = lowPart + (highPart << 32);
    const std::uint64_t carry = newLow < lowPart ? 1u : 0u;
    return {high * factor + (highPart >> 32) + carry, newLow};
  }

  // Rounded to the nearest double, ties to even, as a conversion rounds.
  double toDouble() const {
    if (high == 0) return exactDouble(low);
    int highBits = 0;
    for (std::uint64_t h = high; h != 0; h >>= 1) ++highBits;
    // The top 64 bits, with every bit shifted out folded into the lowest one,
    // round to 53 bits exactly as the whole number does.
    const std::uint64_t top = highBits == 64 ? high : (high << (64 - highBits)) | (low >> highBits);
    const std::uint64_t lost = highBits == 64 ? low : low << (64 - highBits);
    double scale = 1.0;
    for (int i = 0; i < highBits; ++i) scale = scale * 2.0;
    return exactDouble(top | (lost != 0 ? 1u : 0u)) * scale;
  }
};

}  // namespace tessaly
