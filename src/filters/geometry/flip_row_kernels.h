// The flip row kernels, written once over the instruction-set wrappers: whole
// vectors from the ends of the rows, the pixels left in the middle one at a
// time. Included by the per-set units after their target switch.
#pragma once

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
  std::uint8_t* left = row;
  std::uint8_t* right = row + 4 * std::size_t{width};
  for (; right - left >= 2 * std::ptrdiff_t{Isa::kChunk}; left += Isa::kChunk) {
    right -= Isa::kChunk;
    const auto a = Isa::load(left);
    const auto b = Isa::load(right);
    Isa::store(left, Isa::reversePixels(b));
    Isa::store(right, Isa::reversePixels(a));
  }
  for (; right - left >= 8; left += 4) {
    right -= 4;
    swapPixels(left, right);
  }
}

// Pixel x of a trades places with pixel width - 1 - x of b.
template <class Isa>
void swapRowsReversed(std::uint8_t* a, std::uint8_t* b, std::uint32_t width) {
  const std::size_t bytes = 4 * std::size_t{width};
  std::size_t i = 0;
  for (; i + Isa::kChunk <= bytes; i += Isa::kChunk) {
    std::uint8_t* mirror = b + bytes - i - Isa::kChunk;
    const auto x = Isa::load(a + i);
    const auto y = Isa::load(mirror);
    Isa::store(a + i, Isa::reversePixels(y));
    Isa::store(mirror, Isa::reversePixels(x));
  }
  for (; i < bytes; i += 4) swapPixels(a + i, b + bytes - i - 4);
}

template <class Isa>
void swapRows(std::uint8_t* a, std::uint8_t* b, std::uint32_t width) {
  const std::size_t bytes = 4 * std::size_t{width};
  std::size_t i = 0;
  for (; i + Isa::kChunk <= bytes; i += Isa::kChunk) {
    const auto x = Isa::load(a + i);
    Isa::store(a + i, Isa::load(b + i));
    Isa::store(b + i, x);
  }
  for (; i < bytes; i += 4) swapPixels(a + i, b + i);
}

}  // namespace tessaly::simd
