// The linear gradient on a locked rectangle: t is the projection of the pixel
// onto the line from (fx, fy) to (tx, ty), 0 at the start and 1 at the end.
#pragma once

#include "filters/gradient/gradient_ink.h"
#include "image/pixel_rect.h"

#include <cstdint>

namespace tessaly {

struct LinearGradient {
  std::int32_t fx = 0;
  std::int32_t fy = 0;
  std::int32_t tx = 0;
  std::int32_t ty = 0;
};

void paintLinearGradient(const PixelRect& image, const LinearGradient& line, const GradientInk& ink);

}  // namespace tessaly
