// Working memory of the vectorised box kernels.
#pragma once

#include "filters/blur/box_divisors.h"

#include <cstdint>

namespace tessaly {

// Down the columns of a block of rows.
struct BoxBlockMemory {
  std::uint8_t* ring;                 // original bytes of the last radius + 1 rows
  void* sums;                         // running sums, chunk-aligned
  const std::uint8_t* zeroRow;        // stands in for rows beyond either end
  const ShortDivisor* shortDivisors;  // by count, for 16-bit sums
  const float* reciprocals;           // by count, for 32-bit sums
};

// Along one row at a time.
struct BoxRowMemory {
  BoxBlockMemory block;         // its divisor tables
  std::uint8_t* padded;         // the row between `pad` zero pixels on each side
  std::uint32_t pad;
  const std::uint32_t* halves;  // count / 2 for each position, once per channel
  const float* reciprocals;     // reciprocalRoundedUp(count), likewise
  const std::uint8_t* ahead;    // the row to be filtered next (fetched early), or null
};

}  // namespace tessaly
