// The row kernels of the flips and resizes as a kernel table per instruction
// set (see simd/kernel_table.h).
#pragma once

#include "filters/geometry/resize_kernels.h"
#include "filters/simd/instruction_set.h"

#include <cstdint>

namespace tessaly {

struct GeometryKernels {
  static constexpr simd::InstructionSet kWidest = simd::InstructionSet::avx512;

  // Pixels one vector of a windowed gather takes from a run of consecutive
  // source pixels (see NearestScratch); 0 when this set has no such gather.
  std::uint32_t windowPixels;

  // The kernels that write a new image's rows store past the caches when
  // asked (`stream`); the caller fences once after the last row.

  // One row reversed in place.
  void (*reverseRow)(std::uint8_t* row, std::uint32_t width);
  // Two different rows exchanged, each reversed.
  void (*swapRowsReversed)(std::uint8_t* a, std::uint8_t* b, std::uint32_t width);
  // Two different rows exchanged.
  void (*swapRows)(std::uint8_t* a, std::uint8_t* b, std::uint32_t width);

  // count pixels of a strip, each a copy of the source pixel its plan names.
  void (*gatherRow)(const std::uint8_t* sourceRow, const NearestScratch& plan, std::uint32_t count, bool stream,
                    std::uint8_t* out);
  // count pixels of a strip interpolated along one source row, as floats.
  void (*interpolateRow)(const std::uint8_t* sourceRow, const BilinearScratch& plan, std::uint32_t count,
                         float* out);
  // ay * lower + (1 - ay) * upper for 4 * count floats, truncated to bytes.
  void (*blendRows)(const float* upper, const float* lower, float ay, std::uint32_t count, bool stream,
                    std::uint8_t* out);
  // 4 * count floats truncated to bytes.
  void (*truncateRow)(const float* row, std::uint32_t count, bool stream, std::uint8_t* out);
};

}  // namespace tessaly
