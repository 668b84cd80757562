// Where a 32.32 fixed-point texel coordinate falls: the texel point sampling
// takes, and the first texel and weight of linear filtering.
#pragma once

#include <cstdint>

namespace swd3d::raster {

// Texel floor(s).
inline std::int64_t texelFloor(std::int64_t fixed) { return fixed >> 32; }

// round-half-even(s × 256) - 128: the first texel in its upper bits and the
// linear weight in its low 8 bits.
inline std::int64_t linearPosition(std::int64_t fixed) {
  const std::int64_t q = fixed >> 24;
  const std::int64_t rest = fixed & 0xFFFFFF;
  return q + ((rest > 0x800000) | ((rest == 0x800000) & (q & 1))) - 128;
}

}  // namespace swd3d::raster
