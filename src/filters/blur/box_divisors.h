// Exact integer forms of R(sum / count) for the box kernel's vector paths.
// With h = count / 2 (rounded down), R(sum / count) = (sum + h) / count in
// integers (see roundedMean); these compute that quotient without dividing.
#pragma once

#include <cstdint>

namespace tessaly {

// 16-bit lanes: (N · multiplier) >> (16 + shift) = N / count for every
// N ≤ 255·count + count/2, which also fits 16 bits. Such a multiplier below
// 2^16 exists for every count from 2 to kShortDivisorMaxCount.
struct ShortDivisor {
  std::uint16_t multiplier;
  std::uint16_t shift;
};
inline constexpr std::uint32_t kShortDivisorMaxCount = 185;
ShortDivisor shortDivisor(std::uint32_t count);

// 32-bit lanes: truncate(float(N) · reciprocal) = N / count for every
// N ≤ 255·count + count/2, with the float reciprocal rounded up, for counts up
// to kFloatDivisorMaxCount (the product then stays below the next integer).
inline constexpr std::uint32_t kFloatDivisorMaxCount = 16384;
float reciprocalRoundedUp(std::uint32_t count);

}  // namespace tessaly
