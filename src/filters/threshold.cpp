#include "filters/threshold.h"

#include "filters/plain_image_filter.h"

#include <cstdint>

using namespace tessaly;

extern "C" void ThresholdImage(int image, char value, DWORD channel) {
  // The threshold byte in all four lanes, then only the lanes the mask selects:
  // the masked pixel word is compared as one unsigned number.
  const std::uint32_t threshold = static_cast<std::uint8_t>(value) * 0x01010101u;
  const std::uint32_t mask = channel;
  const std::uint32_t maskedThreshold = threshold & mask;
  filterPlainImage(static_cast<DWORD>(image), "TS Threshold Image", [&](const PixelRect& pixels) {
    transformPixels(pixels, [&](std::uint32_t p) {
      return (p & mask) < maskedThreshold ? (p & 0xFF000000u) : 0xFFFFFFFFu;
    });
  });
}
