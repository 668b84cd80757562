#include "filters/threshold.h"

#include "filters/plain_image_filter.h"
#include "filters/point/point_kernel_set.h"
#include "filters/point/point_rules.h"
#include "filters/point/point_runs.h"

#include <cstdint>

namespace tessaly {

void thresholdPixels(const PixelRect& image, std::uint8_t value, std::uint32_t mask) {
  // The masked pixel word is compared as one unsigned number.
  const std::uint32_t maskedThreshold = value * 0x01010101u & mask;
  const PointKernelSet& kernels = pointKernels();
  point::eachRun(
      image, kernels.chunk,
      [&](std::uint8_t* first, std::size_t chunks) { kernels.threshold(first, chunks, mask, maskedThreshold); },
      [&](std::uint32_t p) { return point::threshold(p, mask, maskedThreshold); });
}

}  // namespace tessaly

extern "C" void ThresholdImage(int image, char value, DWORD channel) {
  tessaly::filterPlainImage(static_cast<DWORD>(image), "TS Threshold Image", [&](const tessaly::PixelRect& pixels) {
    tessaly::thresholdPixels(pixels, static_cast<std::uint8_t>(value), channel);
  });
}
