// The binomial weights C(2r, k) of one radius, exact and as the vector kernels
// use them, and the exact value of one output, by which the kernels settle any
// result their double-precision sums leave in doubt.
#pragma once

#include "filters/blur/uint128.h"

#include <array>
#include <cstdint>

namespace tessaly {

// Weights and sums are exact up to this radius: 255 · 4^60 < 2^128.
inline constexpr std::uint32_t kBinomialExactRadius = 60;
// Up to this radius every sum of weighted bytes (< 255 · 4^r) is a double
// exactly, so the double-precision kernel is exact too.
inline constexpr std::uint32_t kBinomialDoubleExactRadius = 22;
// Up to this radius the sums fit 16 bits (255 · 4^4 < 2^16).
inline constexpr std::uint32_t kBinomialShortRadius = 4;
// Up to this radius every sum of weighted bytes fits 32 bits (255 · 4^12 < 2^32).
inline constexpr std::uint32_t kBinomialPairRadius = 12;
// The largest degree whose weights all fit a signed 16-bit lane
// (C(17, 8) = 24310).
inline constexpr std::uint32_t kBinomialPairDegree = 17;

struct BinomialWeights {
  std::uint32_t radius;
  std::array<Uint128, 2 * kBinomialExactRadius + 1> exact;  // C(2r, k)
  std::array<double, 2 * kBinomialExactRadius + 1> scaled;  // C(2r, k) / 4^r
  std::array<std::uint16_t, 2 * kBinomialShortRadius + 1> small;  // C(2r, k) for the 16-bit kernels
};

BinomialWeights binomialWeights(std::uint32_t radius);

// The taps of position i (0 … n − 1) that lie on the line.
inline std::uint32_t binomialFirstTap(std::uint32_t i, std::uint32_t r) { return i >= r ? 0 : r - i; }
inline std::uint32_t binomialLastTap(std::uint32_t i, std::uint32_t r, std::uint32_t n) {
  return std::uint64_t{i} + r < n ? 2 * r : n - 1 - i + r;
}

// T over the taps firstTap … lastTap, exactly.
Uint128 binomialTotal(const BinomialWeights& w, std::uint32_t firstTap, std::uint32_t lastTap);

// R(S / T) with S = Σ C(2r, k)·a_k and T = Σ C(2r, k) over the taps firstTap …
// lastTap, both exact, the division in double precision. Tap k's byte value is
// taps[k · stride] (held as a double).
std::uint8_t binomialExactOutput(const BinomialWeights& w, const double* taps, std::ptrdiff_t stride,
                                 std::uint32_t firstTap, std::uint32_t lastTap);

}  // namespace tessaly
