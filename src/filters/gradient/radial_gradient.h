// The radial gradient on a locked rectangle: t is the distance from (fx, fy),
// 0 on the circle of radius StartR and 1 on the circle of radius EndR.
#pragma once

#include "filters/gradient/gradient_ink.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

struct RadialGradient {
  std::int32_t fx = 0;
  std::int32_t fy = 0;
  float startR = 0.0f;
  float endR = 0.0f;
};

void paintRadialGradient(const PixelRect& image, const RadialGradient& circle, const GradientInk& ink);

}  // namespace tessaly
