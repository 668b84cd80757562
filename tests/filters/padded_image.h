// An image in plain memory whose rows are padded with sentinel bytes, so a
// write past the end of a row shows, read and written as pixel words.
#pragma once

#include "image/pixel_rect.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace filter_test {

struct PaddedImage {
  static constexpr std::uint8_t kSentinel = 0xA5;

  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::int32_t pitch = 0;
  std::vector<std::uint8_t> memory;

  PaddedImage(std::uint32_t w, std::uint32_t h, std::uint32_t paddingBytes = 12)
      : width(w),
        height(h),
        pitch(static_cast<std::int32_t>(4 * w + paddingBytes)),
        memory(std::size_t{h} * (4 * w + paddingBytes), kSentinel) {}

  // Every pixel byte random; `words` draws the pixels from a few values
  // instead, so that equal colours and keys actually occur.
  static PaddedImage random(std::uint32_t w, std::uint32_t h, std::mt19937& rng, std::uint32_t paddingBytes = 12,
                            const std::vector<std::uint32_t>& words = {}) {
    PaddedImage image(w, h, paddingBytes);
    for (std::uint32_t y = 0; y < h; ++y) {
      for (std::uint32_t x = 0; x < w; ++x) {
        image.set(x, y, words.empty() ? static_cast<std::uint32_t>(rng()) : words[rng() % words.size()]);
      }
    }
    return image;
  }

  tessaly::PixelRect rect() { return {memory.data(), pitch, width, height}; }

  std::uint8_t* at(std::uint32_t x, std::uint32_t y) {
    return memory.data() + std::size_t{y} * static_cast<std::uint32_t>(pitch) + 4 * std::size_t{x};
  }
  const std::uint8_t* at(std::uint32_t x, std::uint32_t y) const {
    return memory.data() + std::size_t{y} * static_cast<std::uint32_t>(pitch) + 4 * std::size_t{x};
  }
  std::uint32_t get(std::uint32_t x, std::uint32_t y) const {
    std::uint32_t v;
    std::memcpy(&v, at(x, y), 4);
    return v;
  }
  void set(std::uint32_t x, std::uint32_t y, std::uint32_t v) { std::memcpy(at(x, y), &v, 4); }

  // The pixel words row by row, without the padding.
  std::vector<std::uint32_t> words() const {
    std::vector<std::uint32_t> all;
    all.reserve(std::size_t{width} * height);
    for (std::uint32_t y = 0; y < height; ++y)
      for (std::uint32_t x = 0; x < width; ++x) all.push_back(get(x, y));
    return all;
  }

  bool paddingIntact() const {
    for (std::uint32_t y = 0; y < height; ++y)
      for (std::uint32_t b = 4 * width; b < static_cast<std::uint32_t>(pitch); ++b)
        if (memory[std::size_t{y} * static_cast<std::uint32_t>(pitch) + b] != kSentinel) return false;
    return true;
  }
};

// The sizes every kernel is tried on: single pixels, single rows and
// columns, primes, and widths around the vector lengths.
inline const std::vector<std::pair<std::uint32_t, std::uint32_t>>& awkwardSizes() {
  static const std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes = {
      {1, 1}, {1, 37}, {53, 1}, {2, 2}, {3, 3}, {7, 13}, {31, 17}, {67, 3}, {16, 16}, {17, 33}, {64, 5}, {129, 11}};
  return sizes;
}

}  // namespace filter_test
