// Float-to-byte conversions with every input defined: NaN counts as 0 and
// values are limited to the byte's range before the conversion.
#pragma once

#include "filters/exact_doubles.h"

#include <cmath>
#include <cstdint>

namespace tessaly {

// Truncates toward zero into 0..255; NaN gives 0.
inline std::uint8_t truncateToByte(double v) {
  if (!(v > 0.0)) return 0;  // negative, zero or NaN
  if (v >= 255.0) return 255;
  return static_cast<std::uint8_t>(v);
}

// A float argument as the filters use it: NaN acts as 0.
inline float finiteOrZero(float v) { return std::isnan(v) ? 0.0f : v; }

}  // namespace tessaly
