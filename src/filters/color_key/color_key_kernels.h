// The colour-key kernels of one instruction set, chosen once per call (see
// filters/simd/kernel_table.h). Every set gives the same bytes; only the
// speed differs.
#pragma once

#include "filters/simd/instruction_set.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

struct ColorKeyKernels {
  static constexpr simd::InstructionSet kWidest = simd::InstructionSet::avx512;

  void (*hardKey)(const PixelRect& image, std::uint32_t colour);
  void (*softKey)(const PixelRect& image, std::uint32_t colour);
  void (*replace)(const PixelRect& image, std::uint32_t replacement, std::uint32_t source);

  // The soft key's two rounded steps over every pixel byte p (arrays of
  // 256), for the tests that check them over their whole domain: the removal
  // fraction p asks for under key byte k, and trunc((p - k (1 - a)) / a)
  // under key byte k and removal fraction a.
  void (*softKeyFractions)(std::uint32_t keyByte, float* fractions);
  void (*softKeyChannel)(std::uint32_t keyByte, float a, std::int32_t* values);
};

const ColorKeyKernels& colorKeyKernels();

}  // namespace tessaly
