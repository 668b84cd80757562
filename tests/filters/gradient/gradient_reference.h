// The two gradients as plain loops over every pixel, written straight from
// their description and kept slow and obvious: the readable definition the
// kernels are held to. Differences of the 32-bit arguments are formed in 64
// bits and dx² + dy² in double precision, so that no argument overflows.
#pragma once

#include "filters/test_image.h"

#include <cstdint>

namespace filter_test {

struct GradientColours {
  std::uint32_t color1, color2, channel, mode;
};

void referenceLinearGradient(TestImage& image, std::int32_t fx, std::int32_t fy, std::int32_t tx, std::int32_t ty,
                             const GradientColours& colours);

void referenceRadialGradient(TestImage& image, std::int32_t fx, std::int32_t fy, float startR, float endR,
                             const GradientColours& colours);

}  // namespace filter_test
