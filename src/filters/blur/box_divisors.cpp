#include "filters/blur/box_divisors.h"

#include <cmath>

namespace tessaly {

// multiplier = ceil(2^(16+shift) / count) overshoots by e = multiplier·count −
// 2^(16+shift) < count, and N·multiplier / 2^(16+shift) = N / count +
// N·e / (count·2^(16+shift)); the floor stays N / count's as long as
// N·e < 2^(16+shift). The first shift that satisfies this for the largest N
// is taken.
ShortDivisor shortDivisor(std::uint32_t count) {
  const std::uint64_t largest = 255u * std::uint64_t{count} + count / 2;
  for (std::uint16_t shift = 0; shift < 16; ++shift) {
    const std::uint64_t scale = std::uint64_t{1} << (16 + shift);
    const std::uint64_t multiplier = (scale + count - 1) / count;
    if (multiplier > 0xFFFF) break;
    if (largest * (multiplier * count - scale) < scale)
      return {static_cast<std::uint16_t>(multiplier), shift};
  }
  return {0, 0};  // not reached for counts 2 … kShortDivisorMaxCount
}

// The nearest float to 1 / count, raised by one step when it lies below.
// 1/count ≤ reciprocal ≤ (1/count)(1 + 2^-23), so for N = k·count + j the
// product lies in [k, k + 1 − 1/count + 256·2^-23], below k + 1 − 2^-15 for
// count ≤ 2^14, where floats are 2^-15 apart at most.
float reciprocalRoundedUp(std::uint32_t count) {
  float reciprocal = 1.0f / static_cast<float>(count);
  if (static_cast<double>(reciprocal) * count < 1.0) reciprocal = std::nextafter(reciprocal, 2.0f);
  return reciprocal;
}

}  // namespace tessaly
