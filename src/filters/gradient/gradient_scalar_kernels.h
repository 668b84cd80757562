// The gradient kernels one pixel at a time: the pixels a vector kernel leaves
// over, and those it hands back (see gradient_kernel_table.h).
#pragma once

#include "filters/gradient/gradient_kernels.h"
#include "image/pixel_rect.h"

#include <cmath>
#include <cstdint>

namespace tessaly {

inline void paintLinearSpanScalar(std::uint8_t* first, std::uint32_t count, double n0, double dx, double length,
                                  const GradientInk& ink) {
  std::uint8_t* p = first;
  for (std::uint32_t i = 0; i < count; ++i, p += 4) {
    const auto t = static_cast<float>((n0 + dx * i) / length);
    storePixel(p, ink.paint(loadPixel(p), ink.colourAt(t)));
  }
}

inline void paintRadialPixelsScalar(std::uint8_t* row, std::uint32_t firstX, std::uint32_t endX,
                                    const RadialRow& shape, const GradientInk& ink) {
  std::uint8_t* p = row + 4 * std::size_t{firstX};
  for (std::uint32_t x = firstX; x < endX; ++x, p += 4) {
    const float dx = static_cast<float>(x) - shape.fx;
    const float distance = std::sqrt(dx * dx + shape.rowSquare);
    float t = (distance - shape.startR) / shape.range;
    if (ink.clamp(t)) storePixel(p, ink.paint(loadPixel(p), ink.colourAt(t)));
  }
}

}  // namespace tessaly
