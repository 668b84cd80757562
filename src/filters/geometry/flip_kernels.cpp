#include "filters/geometry/flip_kernels.h"

#include <cstdint>

namespace tessaly {

namespace {

void swapPixels(std::uint8_t* a, std::uint8_t* b) {
  const std::uint32_t va = loadPixel(a);
  storePixel(a, loadPixel(b));
  storePixel(b, va);
}

// Row a takes row b's pixels in reverse order and row b row a's; a row given
// twice is reversed in place.
void swapReversed(std::uint8_t* a, std::uint8_t* b, std::uint32_t width) {
  std::uint8_t* left = a;
  std::uint8_t* right = b + 4 * std::size_t{width};
  const std::uint32_t count = a == b ? width / 2 : width;
  for (std::uint32_t x = 0; x < count; ++x) {
    right -= 4;
    swapPixels(left, right);
    left += 4;
  }
}

void swapRows(std::uint8_t* a, std::uint8_t* b, std::uint32_t width) {
  for (std::uint32_t x = 0; x < width; ++x, a += 4, b += 4) swapPixels(a, b);
}

}  // namespace

void flipHorizontally(const PixelRect& image) {
  for (std::uint32_t y = 0; y < image.height; ++y) swapReversed(image.row(y), image.row(y), image.width);
}

void flipVertically(const PixelRect& image) {
  for (std::uint32_t y = 0; y < image.height / 2; ++y) {
    swapRows(image.row(y), image.row(image.height - 1 - y), image.width);
  }
}

void flipBoth(const PixelRect& image) {
  for (std::uint32_t y = 0; y < (image.height + 1) / 2; ++y) {
    swapReversed(image.row(y), image.row(image.height - 1 - y), image.width);
  }
}

}  // namespace tessaly
