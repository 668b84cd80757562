// The rounding the blur kernels share.
#pragma once

#include "filters/exact_doubles.h"

#include <cstdint>

namespace tessaly {

// R(v): v + 0.5 truncated toward zero, the low 8 bits of that integer kept.
// The kernels give v in 0..255; the recursive Gaussian's v is a float, and a
// float of 2^31 or more in magnitude is a multiple of 256, so its low byte is
// 0. NaN also gives 0.
inline std::uint8_t roundToByte(double v) {
  const double t = v + 0.5;
  if (!(t > -2147483648.0 && t < 2147483648.0)) return 0;
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(t)) & 0xFFu);
}

// R(sum / count) for a sum of count bytes: the mean rounded half up, in
// integers. Equal to the double-precision form, since a mean that is not a
// tie lies at least 1 / (2 count) from one, far above double's error here.
inline std::uint8_t roundedMean(std::uint64_t sum, std::uint64_t count) {
  return static_cast<std::uint8_t>((sum + count / 2) / count);
}

}  // namespace tessaly
