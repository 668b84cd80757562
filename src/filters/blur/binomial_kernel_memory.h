// Working memory of the vectorised binomial kernels.
#pragma once

#include "filters/blur/binomial_weights.h"

#include <cstdint>

namespace tessaly {

struct BinomialMemory {
  const BinomialWeights* weights;
  const BinomialWeights* outerWeights;  // above radius 12: C(2h, k) / 4^r over the radius-12 sums, h = r − 12
  // Down the columns of a block of rows.
  void* ring;                    // the window's rows as doubles, each stored twice (2 · (2r + 1) rows)
  std::uint8_t* pairRing;        // paired kernel: rows of 16-bit pairs of rows (4 bytes per byte)
  std::uint8_t* firstSumRows;    // paired kernel: two rows of 16-bit first sums (2 bytes per byte)
  std::uint8_t* byteRing;        // 16-bit kernel: original bytes of the last r rows
  const std::uint8_t* zeroRow;   // stands in for rows beyond either end
  const double* rowTotals;       // T / 4^r of each row (used near the ends)
  // Along one row at a time, copied between `pad` zero pixels on each side.
  std::uint32_t pad;
  std::uint8_t* paddedBytes;     // 16-bit and paired kernels
  std::uint8_t* pairs;           // paired kernel: 16-bit pairs of neighbouring pixels, 16 bytes a pixel
  std::uint8_t* firstSums;       // paired kernel: 16-bit first sums, 8 bytes a pixel
  void* paddedValues;            // double kernel
  std::ptrdiff_t pixelValues;    // 4: values from one pixel to the next
  const std::uint32_t* halves;   // 16-bit kernel: T / 2 for each position, once per channel
  const float* reciprocals;      // 16-bit kernel: reciprocalRoundedUp(T), likewise
  const double* totals;          // double kernel: T / 4^r, likewise
  const std::uint32_t* exactTotals;  // paired kernel: T of each position on the line
  const std::uint8_t* ahead;     // the row to be filtered next (fetched early), or null
};

}  // namespace tessaly
