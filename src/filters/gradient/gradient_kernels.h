// The gradient kernels of one instruction set, chosen once per call (see
// filters/simd/kernel_table.h). Every set gives the same bytes; only the
// speed differs.
#pragma once

#include "filters/gradient/gradient_ink.h"
#include "filters/simd/instruction_set.h"

#include <cstdint>

namespace tessaly {

// One row of a radial gradient whose x - fx are all exact in single precision.
struct RadialRow {
  float fx;         // the centre's column, exact
  float rowSquare;  // (y - fy)², rounded to single precision
  float startR;
  float range;      // EndR - StartR, rounded to single precision
};

// Paints `count` pixels from `first` whose projections are n0, n0 + dx, ...:
// integers below 2^53 in magnitude, each with t = n / length within 0 ... 1.
using LinearSpanKernel = void (*)(std::uint8_t* first, std::uint32_t count, double n0, double dx, double length,
                                  const GradientInk& ink);
// Paints a whole row of a radial gradient, the range rule included.
using RadialRowKernel = void (*)(std::uint8_t* row, std::uint32_t width, const RadialRow& shape,
                                 const GradientInk& ink);

struct GradientKernels {
  static constexpr simd::InstructionSet kWidest = simd::InstructionSet::avx512;

  LinearSpanKernel linearSpan;
  RadialRowKernel radialRow;
};

const GradientKernels& gradientKernels();

}  // namespace tessaly
