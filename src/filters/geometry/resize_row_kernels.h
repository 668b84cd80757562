// The resize row kernels, written once over the pixel lanes of each
// instruction set. Every float step is the same single-precision operation
// in the vectors as in the one-pixel paths, so every set gives the same
// bytes. Included by the per-set units after their target switch.
#pragma once

#include "filters/geometry/resize_kernels.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tessaly::simd {

template <class Isa>
constexpr bool kPermutesPixels = requires(typename PixelLanes<Isa>::V v) { PixelLanes<Isa>::permute(v, v); };

template <class Isa>
typename PixelLanes<Isa>::V loadWords(const std::uint32_t* words) {
  return PixelLanes<Isa>::load(reinterpret_cast<const std::uint8_t*>(words));
}

// Writes count pixels to out: whole vectors from vectorAt(i) (pixels i to
// i + kPixels - 1), the rest one at a time by pixelAt(i). Streaming stores
// start at the first pixel whose address is aligned for them. The kernels
// that call it are flattened, so that the two functions are inlined.
template <class Isa, class VectorAt, class PixelAt>
void writePixels(std::uint8_t* out, std::uint32_t count, bool stream, VectorAt vectorAt, PixelAt pixelAt) {
  using L = PixelLanes<Isa>;
  constexpr std::uint32_t kBytes = 4 * L::kPixels;
  std::uint32_t i = 0;
  const auto misalignment = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(out) % kBytes);
  if (stream && misalignment % 4 == 0) {
    const std::uint32_t head = std::min(count, (kBytes - misalignment) % kBytes / 4);
    for (; i < head; ++i) pixelAt(i);
    for (; i + L::kPixels <= count; i += L::kPixels) L::stream(out + 4 * std::size_t{i}, vectorAt(i));
  } else {
    for (; i + L::kPixels <= count; i += L::kPixels) L::store(out + 4 * std::size_t{i}, vectorAt(i));
  }
  for (; i < count; ++i) pixelAt(i);
}

// The pixels at the given columns of a row, gathered one by one.
template <class Isa>
typename PixelLanes<Isa>::V gatherWords(const std::uint8_t* row, const std::uint32_t* columns) {
  using L = PixelLanes<Isa>;
  if constexpr (kPermutesPixels<Isa>) {
    return L::gather(row, loadWords<Isa>(columns));
  } else {
    std::uint32_t words[L::kPixels];
    for (std::uint32_t j = 0; j < L::kPixels; ++j) std::memcpy(words + j, row + 4 * std::size_t{columns[j]}, 4);
    return loadWords<Isa>(words);
  }
}

// The pixels at the given columns of a row, which lie within the one or two
// vectors of pixels from the first column on: loaded, then permuted.
template <class Isa>
typename PixelLanes<Isa>::V windowWords(const std::uint8_t* row, const std::uint32_t* columns, std::uint32_t vectors) {
  using L = PixelLanes<Isa>;
  const std::uint8_t* first = row + 4 * std::size_t{columns[0]};
  const auto index = L::sub32(loadWords<Isa>(columns), L::set(columns[0]));
  if (vectors == 1) return L::permute(L::load(first), index);
  return L::permute2(L::load(first), L::load(first + 4 * L::kPixels), index);
}

template <class Isa>
[[gnu::flatten]] void gatherRow(const std::uint8_t* sourceRow, const NearestScratch& plan, std::uint32_t count,
                                bool stream, std::uint8_t* out) {
  const std::uint32_t* columns = plan.sourceColumn;
  writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
    if constexpr (kPermutesPixels<Isa>) {
      if (i < plan.windows.end) return windowWords<Isa>(sourceRow, columns + i, plan.windows.vectors);
    }
    return gatherWords<Isa>(sourceRow, columns + i);
  }, [&](std::uint32_t i) { std::memcpy(out + 4 * std::size_t{i}, sourceRow + 4 * std::size_t{columns[i]}, 4); });
}

// The interpolated rows hold one plane of floats per channel.
inline constexpr std::size_t kPlane = kStripColumns;

// ax * right + (1 - ax) * left, channel by channel, for strip pixel i.
inline void interpolatePixel(const std::uint8_t* sourceRow, const BilinearScratch& plan, std::uint32_t i, float* out) {
  const std::uint8_t* left = sourceRow + 4 * std::size_t{plan.leftColumn[i]};
  const std::uint8_t* right = sourceRow + 4 * std::size_t{plan.rightColumn[i]};
  for (std::size_t c = 0; c < 4; ++c) {
    const float towardRight = plan.rightWeight[i] * static_cast<float>(right[c]);
    const float keep = plan.leftWeight[i] * static_cast<float>(left[c]);
    out[c * kPlane + i] = towardRight + keep;
  }
}

template <class Isa>
[[gnu::flatten]] void interpolateRow(const std::uint8_t* sourceRow, const BilinearScratch& plan, std::uint32_t count,
                                     float* out) {
  using L = PixelLanes<Isa>;
  const auto lowByte = L::set(0xFF);
  std::uint32_t i = 0;
  for (; i + L::kPixels <= count; i += L::kPixels) {
    // The left pixels of the vector's columns and their right neighbours
    // (which, where windowed, are never clamped at the row's end).
    typename L::V left = {}, right = {};
    bool windowed = false;
    if constexpr (kPermutesPixels<Isa>) {
      windowed = i < plan.windows.end;
      if (windowed) {
        left = windowWords<Isa>(sourceRow, plan.leftColumn + i, plan.windows.vectors);
        right = windowWords<Isa>(sourceRow + 4, plan.leftColumn + i, plan.windows.vectors);
      }
    }
    if (!windowed) {
      left = gatherWords<Isa>(sourceRow, plan.leftColumn + i);
      right = gatherWords<Isa>(sourceRow, plan.rightColumn + i);
    }
    const auto ax = L::loadF(plan.rightWeight + i), rest = L::loadF(plan.leftWeight + i);
    for (unsigned c = 0; c < 4; ++c) {
      const auto l = L::toFloat(L::bitAnd(L::shiftRightBy(left, 8 * c), lowByte));
      const auto r = L::toFloat(L::bitAnd(L::shiftRightBy(right, 8 * c), lowByte));
      L::storeF(out + c * kPlane + i, L::add(L::mul(ax, r), L::mul(rest, l)));
    }
  }
  for (; i < count; ++i) interpolatePixel(sourceRow, plan, i, out);
}

// Truncated toward zero; the values never reach 256.
inline std::uint8_t truncateChannel(float v) { return static_cast<std::uint8_t>(std::min(v, 255.0f)); }

// Pixel words from four lanes of channel values 0..255.
template <class Isa>
typename PixelLanes<Isa>::V packChannels(const typename PixelLanes<Isa>::V (&channel)[4]) {
  using L = PixelLanes<Isa>;
  const auto low = L::bitOr(channel[0], L::template shiftLeft<8>(channel[1]));
  return L::bitOr(low, L::bitOr(L::template shiftLeft<16>(channel[2]), L::template shiftLeft<24>(channel[3])));
}

template <class Isa>
[[gnu::flatten]] void blendRows(const float* upper, const float* lower, float ay, std::uint32_t count, bool stream,
                                std::uint8_t* out) {
  using L = PixelLanes<Isa>;
  const float stay = 1.0f - ay;
  const auto down = L::setF(ay), keep = L::setF(stay);
  writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
    typename L::V channel[4];
    for (std::size_t c = 0; c < 4; ++c) {
      const std::size_t at = c * kPlane + i;
      channel[c] = L::truncate(L::add(L::mul(down, L::loadF(lower + at)), L::mul(keep, L::loadF(upper + at))));
    }
    return packChannels<Isa>(channel);
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
  using L = PixelLanes<Isa>;
  writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
    typename L::V channel[4];
    for (std::size_t c = 0; c < 4; ++c) channel[c] = L::truncate(L::loadF(row + c * kPlane + i));
    return packChannels<Isa>(channel);
  }, [&](std::uint32_t i) {
    for (std::size_t c = 0; c < 4; ++c) out[4 * std::size_t{i} + c] = truncateChannel(row[c * kPlane + i]);
  });
}

}  // namespace tessaly::simd
