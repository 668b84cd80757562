// The channel row kernels, written once over the pixel lanes of each
// instruction set: whole vectors of pixels, then the last pixels one at a
// time by the same rule. Included by the per-set units after their target
// switch.
#pragma once

#include "filters/channels/channel_kernel_set.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <cstddef>
#include <cstdint>

namespace tessaly::simd {

inline std::uint32_t spreadByte(std::uint32_t s, std::uint32_t d, ChannelRead read, std::uint32_t mask) {
  return (d & ~mask) | (replicateByte(read.byteOf(s)) & mask);
}

template <class Isa>
void setRow(std::uint8_t* row, std::uint32_t width, std::uint32_t keep, std::uint32_t value) {
  using L = PixelLanes<Isa>;
  const std::size_t bytes = 4 * std::size_t{width};
  const auto k = L::set(keep), v = L::set(value);
  std::size_t i = 0;
  for (; i + 4 * L::kPixels <= bytes; i += 4 * L::kPixels) L::store(row + i, L::bitOr(L::bitAnd(L::load(row + i), k), v));
  for (; i < bytes; i += 4) storePixel(row + i, (loadPixel(row + i) & keep) | value);
}

template <class Isa>
void copyBitsRow(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t width, std::uint32_t mask) {
  using L = PixelLanes<Isa>;
  const std::size_t bytes = 4 * std::size_t{width};
  const auto m = L::set(mask);
  std::size_t i = 0;
  for (; i + 4 * L::kPixels <= bytes; i += 4 * L::kPixels) {
    const auto kept = L::bitAndNot(L::load(destination + i), m);
    L::store(destination + i, L::bitOr(kept, L::bitAnd(L::load(source + i), m)));
  }
  for (; i < bytes; i += 4) {
    storePixel(destination + i, (loadPixel(destination + i) & ~mask) | (loadPixel(source + i) & mask));
  }
}

template <class Isa>
void spreadByteRow(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t width, ChannelRead read,
                   std::uint32_t mask) {
  using L = PixelLanes<Isa>;
  const std::size_t bytes = 4 * std::size_t{width};
  const auto byteMask = L::set(read.byteMask), m = L::set(mask);
  std::size_t i = 0;
  for (; i + 4 * L::kPixels <= bytes; i += 4 * L::kPixels) {
    const auto byte = L::bitAnd(L::shiftRightBy(L::load(source + i), read.shift), byteMask);
    const auto twice = L::bitOr(byte, L::template shiftLeft<8>(byte));
    const auto spread = L::bitOr(twice, L::template shiftLeft<16>(twice));
    L::store(destination + i, L::bitOr(L::bitAndNot(L::load(destination + i), m), L::bitAnd(spread, m)));
  }
  for (; i < bytes; i += 4) {
    storePixel(destination + i, spreadByte(loadPixel(source + i), loadPixel(destination + i), read, mask));
  }
}

template <class Isa>
constexpr ChannelKernels makeChannelKernelTable() {
  return ChannelKernels{setRow<Isa>, copyBitsRow<Isa>, spreadByteRow<Isa>};
}

}  // namespace tessaly::simd
