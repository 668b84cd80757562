// The blend equation for 8-bit sources, in integers: every product of two
// bytes is exact, so round(n / 255) of the exact sum gives the very bytes the
// float equation (blend_equation.h) gives, only faster. A kernel is chosen once
// per draw: a copy for replace, an SSE2 kernel for source-alpha blending,
// (SSE2, or AVX2 where the processor has it), and an exact scalar loop for
// every other factor and operation.
#pragma once

#include "d3d9/raster/draw_settings.h"

#include <cstdint>

namespace swd3d::raster {

class WordBlend {
 public:
  // Sse2 keeps to the baseline kernels, so tests can check both.
  enum class VectorWidth { Widest, Sse2 };
  explicit WordBlend(const BlendSettings& settings, VectorWidth width = VectorWidth::Widest);

  // Blends `count` source words into the target words.
  void operator()(const std::uint32_t* source, int count, std::uint32_t* target) const {
    kernel_(*this, source, count, target);
  }
  // The source simply replaces every bit of the target.
  bool replaces() const { return replaces_; }

  // The source-alpha kernel: colour by source alpha and its inverse; alpha
  // the same way, or saturated source plus destination, or by the lane masks:
  // per 16-bit lane (blue, green, red, alpha of two pixels) the factor is
  // (alpha & m[0]) | ((255 - alpha) & m[1]) | m[2].
  enum class AlphaRule { LikeColour, Sum, Masks };
  struct OverMasks {
    alignas(16) std::uint16_t source[3][8];
    alignas(16) std::uint16_t dest[3][8];
  };

 private:
  using Kernel = void (*)(const WordBlend& blend, const std::uint32_t* source, int count,
                          std::uint32_t* target);
  static void copy(const WordBlend&, const std::uint32_t* source, int count,
                   std::uint32_t* target);
  static void exact(const WordBlend& blend, const std::uint32_t* source, int count,
                    std::uint32_t* target);
  static Kernel overKernel(AlphaRule rule, bool masked, VectorWidth width);

  BlendSettings settings_;
  OverMasks masks_{};
  std::uint32_t writeMask_ = 0xFFFFFFFF;  // after the alpha rule's own part
  Kernel kernel_;
  bool replaces_ = false;

  friend struct OverKernels;
};

}  // namespace swd3d::raster
