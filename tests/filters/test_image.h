// Test images: in plain memory with rows padded by sentinel bytes, so that a
// write past the end of a row shows, or as bare pixel words; random ones.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>
#include <ostream>
#include <random>
#include <utility>
#include <vector>

namespace filter_test {

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
  std::uint32_t word(std::uint32_t x, std::uint32_t y) const {
    return tessaly::loadPixel(memory.data() + std::size_t{y} * static_cast<std::uint32_t>(pitch) + 4 * std::size_t{x});
  }
  void setWord(std::uint32_t x, std::uint32_t y, std::uint32_t v) {
    tessaly::storePixel(memory.data() + std::size_t{y} * static_cast<std::uint32_t>(pitch) + 4 * std::size_t{x}, v);
  }
  bool paddingIntact() const;
  // Only the pixel bytes, row by row.
  std::vector<std::uint8_t> pixelBytes() const;
};

inline constexpr std::uint8_t kSentinel = 0xA5;

TestImage randomImage(std::uint32_t w, std::uint32_t h, std::mt19937& rng, std::uint32_t paddingBytes = 12);

// Every pixel drawn from a few words, so that equal colours and keys occur.
TestImage paletteImage(std::uint32_t w, std::uint32_t h, std::mt19937& rng, std::uint32_t paddingBytes,
                       const std::vector<std::uint32_t>& palette);

// Sizes a kernel is tried on: single pixels, single rows and columns, primes,
// and widths around the vector lengths.
const std::vector<std::pair<std::uint32_t, std::uint32_t>>& awkwardSizes();

// An image as its pixel words, row by row.
struct Words {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t at(std::uint32_t x, std::uint32_t y) const { return pixels[std::size_t{y} * width + x]; }
  bool operator==(const Words&) const = default;
};

// Failures name the size and the first pixels, not the bytes of the record.
void PrintTo(const Words& words, std::ostream* out);

Words randomWords(std::uint32_t width, std::uint32_t height, std::mt19937& rng);

// The same pixels in the other form (the test image with padded rows).
TestImage imageOf(const Words& words, std::uint32_t paddingBytes = 12);
Words wordsOf(const TestImage& image);

}  // namespace filter_test
