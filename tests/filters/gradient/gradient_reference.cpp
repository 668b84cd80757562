#include "gradient_reference.h"

#include <cmath>

namespace filter_test {

namespace {

// The range rule, then the colour of t under the channel mask.
void paint(TestImage& image, std::uint32_t x, std::uint32_t y, float t, const GradientColours& colours) {
  if (t < 0 && (colours.mode & 1)) {
    t = 0;
  } else if (t > 1 && (colours.mode & 2)) {
    t = 1;
  }
  if (!(t >= 0 && t <= 1)) return;  // below 0, above 1, or not a number
  std::uint32_t colour = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int c1 = (colours.color1 >> shift) & 0xFF;
    const int c2 = (colours.color2 >> shift) & 0xFF;
    const double mixed = c1 + (c2 - c1) * static_cast<double>(t);
    const float rounded = static_cast<float>(mixed);
    colour |= static_cast<std::uint32_t>(static_cast<int>(rounded)) << shift;
  }
  const std::uint32_t pixel = image.word(x, y);
  image.setWord(x, y, (pixel & ~colours.channel) + (colour & colours.channel));
}

}  // namespace

void referenceLinearGradient(TestImage& image, std::int32_t fx, std::int32_t fy, std::int32_t tx, std::int32_t ty,
                             const GradientColours& colours) {
  const std::int64_t dx = std::int64_t{tx} - fx;
  const std::int64_t dy = std::int64_t{ty} - fy;
  const float length = static_cast<float>(static_cast<double>(dx) * static_cast<double>(dx) +
                                          static_cast<double>(dy) * static_cast<double>(dy));
  for (std::uint32_t y = 0; y < image.height; ++y) {
    for (std::uint32_t x = 0; x < image.width; ++x) {
      const double along = static_cast<double>(dx) * static_cast<double>(std::int64_t{x} - fx) +
                           static_cast<double>(dy) * static_cast<double>(std::int64_t{y} - fy);
      const float t = static_cast<float>(along / static_cast<double>(length));
      paint(image, x, y, t, colours);
    }
  }
}

void referenceRadialGradient(TestImage& image, std::int32_t fx, std::int32_t fy, float startR, float endR,
                             const GradientColours& colours) {
  const float range = endR - startR;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    for (std::uint32_t x = 0; x < image.width; ++x) {
      const float dx = static_cast<float>(std::int64_t{x} - fx);
      const float dy = static_cast<float>(std::int64_t{y} - fy);
      const float squared = dx * dx + dy * dy;
      const float distance = std::sqrt(squared);
      const float t = (distance - startR) / range;
      paint(image, x, y, t, colours);
    }
  }
}

}  // namespace filter_test
