// The channel row kernels, written once over the instruction-set wrappers:
// whole vectors of pixels, then the last pixels one at a time by the same
// rule. Included by the per-set units after their target switch.
#pragma once

#include "filters/channels/channel_kernel_set.h"
#include "image/pixel_rect.h"

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

namespace tessaly::simd {

inline std::uint32_t spreadByte(std::uint32_t s, std::uint32_t d, ChannelRead read, std::uint32_t mask) {
  return (d & ~mask) | (replicateByte(read.byteOf(s)) & mask);
}

template <class Isa>
void setRow(std::uint8_t* row, std::uint32_t width, std::uint32_t keep, std::uint32_t value) {
  const std::size_t bytes = 4 * std::size_t{width};
  const auto k = Isa::set32(keep), v = Isa::set32(value);
  std::size_t i = 0;
  for (; i + Isa::kChunk <= bytes; i += Isa::kChunk) Isa::store(row + i, Isa::orI(Isa::andI(Isa::load(row + i), k), v));
  for (; i < bytes; i += 4) storePixel(row + i, (loadPixel(row + i) & keep) | value);
}

template <class Isa>
void copyBitsRow(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t width, std::uint32_t mask) {
  const std::size_t bytes = 4 * std::size_t{width};
  const auto m = Isa::set32(mask);
  std::size_t i = 0;
  for (; i + Isa::kChunk <= bytes; i += Isa::kChunk) {
    const auto kept = Isa::andNotI(m, Isa::load(destination + i));
    Isa::store(destination + i, Isa::orI(kept, Isa::andI(Isa::load(source + i), m)));
  }
  for (; i < bytes; i += 4) {
    storePixel(destination + i, (loadPixel(destination + i) & ~mask) | (loadPixel(source + i) & mask));
  }
}

template <class Isa>
void spreadByteRow(const std::uint8_t* source, std::uint8_t* destination, std::uint32_t width, ChannelRead read,
                   std::uint32_t mask) {
  const std::size_t bytes = 4 * std::size_t{width};
  const __m128i shift = _mm_cvtsi32_si128(static_cast<int>(read.shift));
  const auto byteMask = Isa::set32(read.byteMask), m = Isa::set32(mask);
  std::size_t i = 0;
  for (; i + Isa::kChunk <= bytes; i += Isa::kChunk) {
    const auto byte = Isa::andI(Isa::srl32(Isa::load(source + i), shift), byteMask);
    const auto kept = Isa::andNotI(m, Isa::load(destination + i));
    Isa::store(destination + i, Isa::orI(kept, Isa::andI(Isa::spreadLowByte(byte), m)));
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
