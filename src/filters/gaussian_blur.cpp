#include "filters/gaussian_blur.h"

#include "filters/blur_arithmetic.h"
#include "filters/gaussian_coefficients.h"
#include "filters/pixel_lines.h"

#include <cstdint>

namespace tessaly {

namespace {

// The filter state of one channel: the last three results, unrounded.
struct RecursiveState {
  float y1, y2, y3;

  // v = B·p + (b2·y2 + b1·y1 + b3·y3) / b0 in double precision, in this order,
  // rounded to single precision; it becomes the newest result.
  float step(const GaussianCoefficients& k, std::uint8_t p) {
    const StrictDouble products = StrictDouble::fromFloat(k.b2) * StrictDouble::fromFloat(y2) +
                                  StrictDouble::fromFloat(k.b1) * StrictDouble::fromFloat(y1) +
                                  StrictDouble::fromFloat(k.b3) * StrictDouble::fromFloat(y3);
    const float v = (StrictDouble::fromFloat(k.B) * StrictDouble::fromInt(p) +
                     products / StrictDouble::fromFloat(k.b0))
                        .toFloat();
    y3 = y2;
    y2 = y1;
    y1 = v;
    return v;
  }
};

// The anti-causal sub-pass from the far end, then the causal one over the
// bytes it wrote; each starts from its edge pixel, so a constant line stays.
void gaussianLine(const PixelLine& line, const GaussianCoefficients& k) {
  const std::uint32_t n = line.length;
  for (int c = 0; c < 4; ++c) {
    const float last = line.pixel(n - 1)[c];
    RecursiveState state{last, last, last};
    for (std::uint32_t i = n; i-- > 0;) {
      std::uint8_t& p = line.pixel(i)[c];
      p = roundToByte(StrictDouble::fromFloat(state.step(k, p)));
    }
    const float first = line.pixel(0)[c];
    state = {first, first, first};
    for (std::uint32_t i = 0; i < n; ++i) {
      std::uint8_t& p = line.pixel(i)[c];
      p = roundToByte(StrictDouble::fromFloat(state.step(k, p)));
    }
  }
}

void gaussianPass(const PixelRect& image, std::int32_t radius, Direction direction) {
  if (radius < 1 || image.width == 0 || image.height == 0) return;
  const GaussianCoefficients k = gaussianCoefficients(radius);
  for (std::uint32_t l = 0; l < lineCount(image, direction); ++l) gaussianLine(imageLine(image, direction, l), k);
}

}  // namespace

void gaussianBlurHorizontal(const PixelRect& image, std::int32_t radius) {
  gaussianPass(image, radius, Direction::horizontal);
}

void gaussianBlurVertical(const PixelRect& image, std::int32_t radius) {
  gaussianPass(image, radius, Direction::vertical);
}

void gaussianBlur(const PixelRect& image, std::int32_t radius) {
  gaussianPass(image, radius, Direction::horizontal);
  gaussianPass(image, radius, Direction::vertical);
}

}  // namespace tessaly
