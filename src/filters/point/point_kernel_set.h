// The vectorised point filters of one instruction set, chosen once per call
// (see simd/kernel_table.h). Each kernel rewrites `chunks` whole chunks of
// pixel words in place; the words left over at a row's end go through
// point_rules.h. Every set gives the words those rules give.
#pragma once

#include "filters/point/scale_steps.h"
#include "filters/simd/kernel_table.h"

#include <cstddef>
#include <cstdint>

namespace tessaly {

struct PointKernelSet {
  static constexpr simd::InstructionSet kWidest = simd::InstructionSet::avx512;
  using Rows = std::uint8_t*;

  unsigned chunk;  // bytes
  void (*negative)(Rows pixels, std::size_t chunks);
  void (*threshold)(Rows pixels, std::size_t chunks, std::uint32_t mask, std::uint32_t maskedThreshold);
  // Null where the instruction set has no lane-wise multiply and shift: the
  // tables are used instead.
  void (*brightness)(Rows pixels, std::size_t chunks, const point::ScaleSteps& steps);
  void (*lightnessGrey)(Rows pixels, std::size_t chunks);
  void (*weightedGrey)(Rows pixels, std::size_t chunks);
  void (*averageGrey)(Rows pixels, std::size_t chunks);
  void (*saturation)(Rows pixels, std::size_t chunks, double keep, double toward);
};

namespace simd {
template <>
const PointKernelSet& kernelTable<PointKernelSet, Sse2>();
template <>
const PointKernelSet& kernelTable<PointKernelSet, Avx2>();
template <>
const PointKernelSet& kernelTable<PointKernelSet, Avx512>();
}  // namespace simd

inline const PointKernelSet& pointKernels() { return simd::kernels<PointKernelSet>(); }

}  // namespace tessaly
