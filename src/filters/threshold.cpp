#include "filters/threshold.h"

#include "filters/plain_image_filter.h"
#include "filters/point/point_kernel_set.h"
#include "filters/point/point_rules.h"

#include <cstdint>

namespace tessaly {

void thresholdPixels(const PixelRect& image, std::uint8_t value, std::uint32_t mask) {
  // The masked pixel word is compared as one unsigned number.
  const std::uint32_t maskedThreshold = value * 0x01010101u & mask;
  const PointKernelSet& kernels = pointKernels();
  const std::size_t chunks = std::size_t{image.width} * 4 / kernels.chunk;
  const auto vectorWords = static_cast<std::uint32_t>(chunks * kernels.chunk / 4);
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint8_t* row = image.row(y);
    kernels.threshold(row, chunks, mask, maskedThreshold);
    for (std::uint32_t x = vectorWords; x < image.width; ++x)
      storePixel(row + 4 * std::size_t{x}, point::threshold(loadPixel(row + 4 * std::size_t{x}), mask, maskedThreshold));
  }
}

}  // namespace tessaly

extern "C" void ThresholdImage(int image, char value, DWORD channel) {
  tessaly::filterPlainImage(static_cast<DWORD>(image), "TS Threshold Image", [&](const tessaly::PixelRect& pixels) {
    tessaly::thresholdPixels(pixels, static_cast<std::uint8_t>(value), channel);
  });
}
