// The bits of a double, for the exactness arguments of the span kernels.
#pragma once

#include <bit>
#include <cstdint>

namespace swd3d::raster {

// The exponent of the lowest set bit of a finite, non-zero double.
inline int lowestBit(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int exponent = static_cast<int>(bits >> 52 & 0x7FF);
  const std::uint64_t mantissa =
      (bits & 0xFFFFFFFFFFFFF) | (exponent != 0 ? std::uint64_t{1} << 52 : 0);
  return (exponent != 0 ? exponent : 1) - 1075 + __builtin_ctzll(mantissa);
}

}  // namespace swd3d::raster
