// Plain reference loops of the nine blur passes, written straight from their
// description and kept slow and obvious, and test images with padded rows.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>
#include <random>
#include <vector>

namespace blur_test {

// An image in plain memory whose rows are padded with sentinel bytes, so that
// a write past the end of a row shows.
struct TestImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::int32_t pitch = 0;
  std::vector<std::uint8_t> memory;

  TestImage(std::uint32_t w, std::uint32_t h, std::uint32_t paddingBytes = 12);
  tessaly::PixelRect rect() { return {memory.data(), pitch, width, height}; }
  std::uint8_t& channel(std::uint32_t x, std::uint32_t y, int c) {
    return memory[std::size_t{y} * static_cast<std::uint32_t>(pitch) + 4 * std::size_t{x} + c];
  }
  bool paddingIntact() const;
  // Only the pixel bytes, row by row.
  std::vector<std::uint8_t> pixelBytes() const;
};

inline constexpr std::uint8_t kSentinel = 0xA5;

TestImage randomImage(std::uint32_t w, std::uint32_t h, std::mt19937& rng, std::uint32_t paddingBytes = 12);

enum class Kernel { box, gaussian, binomial };
enum class Passes { horizontal, vertical, both };

void referenceBlur(TestImage& image, Kernel kernel, Passes passes, std::int32_t radius);

// The pass under test, by kernel and direction form.
void realBlur(TestImage& image, Kernel kernel, Passes passes, std::int32_t radius);

}  // namespace blur_test
