// The point kernel table of one instruction set, from the kernel templates.
// Included only by the per-set units (point_kernels_*.cpp), after their
// target switch.
#pragma once

#include "filters/point/point_kernel_set.h"
#include "filters/point/point_kernels.h"

namespace tessaly::simd {

// withBrightness: the set has lane-wise 32-bit multiplies and shifts.
template <class Isa, bool withBrightness>
constexpr PointKernelSet makePointKernelTable() {
  using K = PointKernels<Isa>;
  void (*brightness)(std::uint8_t*, std::size_t, const point::ScaleSteps&) = nullptr;
  if constexpr (withBrightness) brightness = K::brightness;
  return PointKernelSet{
      Isa::kChunk, K::negative, K::threshold, brightness, K::lightnessGrey, K::weightedGrey, K::averageGrey, K::saturation,
  };
}

}  // namespace tessaly::simd
