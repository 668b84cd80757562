// The resize row kernels, written once over the instruction-set wrappers.
// Every float step is the same single-precision operation in the vectors as
// in the one-pixel paths, so every set gives the same bytes. Included by the
// per-set units after their target switch.
#pragma once

#include "filters/geometry/resize_kernels.h"
#include "image/pixel_rect.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tessaly::simd {

template <class Isa>
constexpr bool kPermutesPixels = requires(typename Isa::VI v) { Isa::permutePixels(v, v); };

// Writes count pixels to out: whole vectors from vectorAt(i) (pixels i to
// i + kPixels - 1), the rest one at a time by pixelAt(i). Streaming stores
// start at the first pixel whose address is aligned for them. The kernels
// that call it are flattened, so that the two functions are inlined.
template <class Isa, class VectorAt, class PixelAt>
void writePixels(std::uint8_t* out, std::uint32_t count, bool stream, VectorAt vectorAt, PixelAt pixelAt) {
  std::uint32_t i = 0;
  const auto misalignment = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(out) % Isa::kChunk);
  if (stream && misalignment % 4 == 0) {
    const std::uint32_t head = std::min(count, (Isa::kChunk - misalignment) % Isa::kChunk / 4);
    for (; i < head; ++i) pixelAt(i);
    for (; i + Isa::kPixels <= count; i += Isa::kPixels) Isa::stream(out + 4 * std::size_t{i}, vectorAt(i));
  } else {
    for (; i + Isa::kPixels <= count; i += Isa::kPixels) Isa::store(out + 4 * std::size_t{i}, vectorAt(i));
  }
  for (; i < count; ++i) pixelAt(i);
}

template <class Isa>
[[gnu::flatten]] void gatherRow(const std::uint8_t* sourceRow, const NearestScratch& plan, std::uint32_t count, bool stream,
               std::uint8_t* out) {
  const std::uint32_t* columns = plan.sourceColumn;
  const auto pixelAt = [&](std::uint32_t i) {
    std::memcpy(out + 4 * std::size_t{i}, sourceRow + 4 * std::size_t{columns[i]}, 4);
  };
  if constexpr (kPermutesPixels<Isa>) {
    if (plan.windowed) {
      // The vector's pixels lie in the run of source pixels that starts at
      // its first one.
      writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
        const auto first = Isa::set32(columns[i]);
        const auto window = Isa::load(sourceRow + 4 * std::size_t{columns[i]});
        return Isa::permutePixels(window, Isa::sub32(Isa::loadI(columns + i), first));
      }, pixelAt);
      return;
    }
  }
  writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
    std::uint32_t words[Isa::kPixels];
    for (std::uint32_t j = 0; j < Isa::kPixels; ++j) std::memcpy(words + j, sourceRow + 4 * std::size_t{columns[i + j]}, 4);
    return Isa::loadI(words);
  }, pixelAt);
}

// The interpolated rows hold one plane of floats per channel.
inline constexpr std::size_t kPlane = kStripColumns;

// ax * right + (1 - ax) * left, channel by channel, for strip pixel i.
inline void interpolatePixel(const std::uint8_t* sourceRow, const BilinearScratch& plan, std::uint32_t i, float* out) {
  const std::uint8_t* left = sourceRow + 4 * std::size_t{plan.leftColumn[i]};
  for (std::size_t c = 0; c < 4; ++c) {
    const float right = plan.rightWeight[i] * static_cast<float>(left[4 + c]);
    const float keep = plan.leftWeight[i] * static_cast<float>(left[c]);
    out[c * kPlane + i] = right + keep;
  }
}

template <class Isa>
[[gnu::flatten]] void interpolateRow(const std::uint8_t* sourceRow, const BilinearScratch& plan, std::uint32_t count,
                                     float* out) {
  const std::uint32_t* columns = plan.leftColumn;
  const auto lowByte = Isa::set32(0xFF);
  std::uint32_t i = 0;
  for (; i + Isa::kPixels <= count; i += Isa::kPixels) {
    // The left pixels of the vector's columns and their right neighbours.
    typename Isa::VI left, right;
    bool gathered = false;
    if constexpr (kPermutesPixels<Isa>) {
      if (plan.windowed) {
        const std::uint8_t* first = sourceRow + 4 * std::size_t{columns[i]};
        const auto index = Isa::sub32(Isa::loadI(columns + i), Isa::set32(columns[i]));
        left = Isa::permutePixels(Isa::load(first), index);
        right = Isa::permutePixels(Isa::load(first + 4), index);
        gathered = true;
      }
    }
    if (!gathered) {
      std::uint32_t leftWords[Isa::kPixels], rightWords[Isa::kPixels];
      for (std::uint32_t j = 0; j < Isa::kPixels; ++j) {
        std::memcpy(leftWords + j, sourceRow + 4 * std::size_t{columns[i + j]}, 4);
        std::memcpy(rightWords + j, sourceRow + 4 * std::size_t{columns[i + j]} + 4, 4);
      }
      left = Isa::loadI(leftWords);
      right = Isa::loadI(rightWords);
    }
    const auto ax = Isa::loadF(plan.rightWeight + i), rest = Isa::loadF(plan.leftWeight + i);
    for (std::size_t c = 0; c < 4; ++c) {
      const __m128i shift = _mm_cvtsi32_si128(static_cast<int>(8 * c));
      const auto l = Isa::toFloat(Isa::andI(Isa::srl32(left, shift), lowByte));
      const auto r = Isa::toFloat(Isa::andI(Isa::srl32(right, shift), lowByte));
      Isa::storeF(out + c * kPlane + i, Isa::addF(Isa::mul(ax, r), Isa::mul(rest, l)));
    }
  }
  for (; i < count; ++i) interpolatePixel(sourceRow, plan, i, out);
}

// Truncated toward zero; the values never reach 256.
inline std::uint8_t truncateChannel(float v) { return static_cast<std::uint8_t>(std::min(v, 255.0f)); }

template <class Isa>
[[gnu::flatten]] void blendRows(const float* upper, const float* lower, float ay, std::uint32_t count, bool stream,
                                std::uint8_t* out) {
  const float stay = 1.0f - ay;
  const auto down = Isa::setF(ay), keep = Isa::setF(stay);
  writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
    typename Isa::VI channel[4];
    for (std::size_t c = 0; c < 4; ++c) {
      const std::size_t at = c * kPlane + i;
      channel[c] = Isa::truncate(Isa::addF(Isa::mul(down, Isa::loadF(lower + at)), Isa::mul(keep, Isa::loadF(upper + at))));
    }
    return Isa::packChannels(channel[0], channel[1], channel[2], channel[3]);
  }, [&](std::uint32_t i) {
    for (std::size_t c = 0; c < 4; ++c) {
      const float towardLower = ay * lower[c * kPlane + i];
      const float kept = stay * upper[c * kPlane + i];
      out[4 * std::size_t{i} + c] = truncateChannel(towardLower + kept);
    }
  });
}

template <class Isa>
[[gnu::flatten]] void truncateRow(const float* row, std::uint32_t count, bool stream, std::uint8_t* out) {
  writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
    typename Isa::VI channel[4];
    for (std::size_t c = 0; c < 4; ++c) channel[c] = Isa::truncate(Isa::loadF(row + c * kPlane + i));
    return Isa::packChannels(channel[0], channel[1], channel[2], channel[3]);
  }, [&](std::uint32_t i) {
    for (std::size_t c = 0; c < 4; ++c) out[4 * std::size_t{i} + c] = truncateChannel(row[c * kPlane + i]);
  });
}

}  // namespace tessaly::simd
