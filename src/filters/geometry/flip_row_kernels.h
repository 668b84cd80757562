// The flip row kernels, written once over the pixel lanes of each instruction
// set: whole vectors from the ends of the rows, the pixels left in the middle
// one at a time. Included by the per-set units after their target switch.
#pragma once

#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <cstddef>
#include <cstdint>

namespace tessaly::simd {

inline void swapPixels(std::uint8_t* a, std::uint8_t* b) {
  const std::uint32_t va = loadPixel(a);
  storePixel(a, loadPixel(b));
  storePixel(b, va);
}

template <class Isa>
void reverseRow(std::uint8_t* row, std::uint32_t width) {
  using L = PixelLanes<Isa>;
  constexpr std::ptrdiff_t kBytes = 4 * L::kPixels;
  std::uint8_t* left = row;
  std::uint8_t* right = row + 4 * std::size_t{width};
  for (; right - left >= 2 * kBytes; left += kBytes) {
    right -= kBytes;
    const auto a = L::load(left);
    const auto b = L::load(right);
    L::store(left, L::reverse(b));
    L::store(right, L::reverse(a));
  }
  for (; right - left >= 8; left += 4) {
    right -= 4;
    swapPixels(left, right);
  }
}

// Pixel x of a trades places with pixel width - 1 - x of b.
template <class Isa>
void swapRowsReversed(std::uint8_t* a, std::uint8_t* b, std::uint32_t width) {
  using L = PixelLanes<Isa>;
  constexpr std::size_t kBytes = 4 * L::kPixels;
  const std::size_t bytes = 4 * std::size_t{width};
  std::size_t i = 0;
  for (; i + kBytes <= bytes; i += kBytes) {
    std::uint8_t* mirror = b + bytes - i - kBytes;
    const auto x = L::load(a + i);
    const auto y = L::load(mirror);
    L::store(a + i, L::reverse(y));
    L::store(mirror, L::reverse(x));
  }
  for (; i < bytes; i += 4) swapPixels(a + i, b + bytes - i - 4);
}

template <class Isa>
void swapRows(std::uint8_t* a, std::uint8_t* b, std::uint32_t width) {
  using L = PixelLanes<Isa>;
  constexpr std::size_t kBytes = 4 * L::kPixels;
  const std::size_t bytes = 4 * std::size_t{width};
  std::size_t i = 0;
  for (; i + kBytes <= bytes; i += kBytes) {
    const auto x = L::load(a + i);
    L::store(a + i, L::load(b + i));
    L::store(b + i, x);
  }
  for (; i < bytes; i += 4) swapPixels(a + i, b + i);
}

}  // namespace tessaly::simd
