#include "filters/gradient/radial_gradient.h"

#include "filters/gradient/gradient_kernels.h"

#include <cmath>
#include <cstdint>

namespace tessaly {

namespace {

// A difference of two 32-bit integers, formed without overflow and rounded
// once to single precision.
float difference(double a, double b) { return static_cast<float>(a - b); }

// Where every x - fx of a row is an integer below 2^24 in magnitude, the row
// kernels may form it as float(x) - float(fx) without rounding.
constexpr double kExactColumnOffset = 0x1p23;

// The generic walk, for a centre so far outside the image that x - fx needs
// rounding: every pixel by the formula.
void paintEachPixel(const PixelRect& image, const RadialGradient& circle, float range, const GradientInk& ink) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const float dy = difference(y, circle.fy);
    const float rowSquare = dy * dy;
    std::uint8_t* p = image.row(y);
    for (std::uint32_t x = 0; x < image.width; ++x, p += 4) {
      const float dx = difference(x, circle.fx);
      const float distance = std::sqrt(dx * dx + rowSquare);
      float t = (distance - circle.startR) / range;
      if (ink.clamp(t)) storePixel(p, ink.paint(loadPixel(p), ink.colourAt(t)));
    }
  }
}

}  // namespace

void paintRadialGradient(const PixelRect& image, const RadialGradient& circle, const GradientInk& ink) {
  if (ink.mask == 0) return;
  const float range = circle.endR - circle.startR;
  const bool exactColumns = std::fabs(static_cast<double>(circle.fx)) <= kExactColumnOffset &&
                            static_cast<double>(image.width) <= kExactColumnOffset;
  if (!exactColumns) {
    paintEachPixel(image, circle, range, ink);
    return;
  }
  const RadialRowKernel paintRow = gradientKernels().radialRow;
  const RadialRow shape{static_cast<float>(circle.fx), 0.0f, circle.startR, range};
  for (std::uint32_t y = 0; y < image.height; ++y) {
    RadialRow row = shape;
    const float dy = difference(y, circle.fy);
    row.rowSquare = dy * dy;
    paintRow(image.row(y), image.width, row, ink);
  }
}

}  // namespace tessaly
