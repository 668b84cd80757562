// The resize row kernels, written once over the instruction-set wrappers.
// Every float step is the same single-precision operation in the vectors as
// in the one-pixel paths, so every set gives the same bytes. Included by the
// per-set units after their target switch.
#pragma once

#include "filters/geometry/resize_kernels.h"
#include "image/pixel_rect.h"

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

// ax * right + (1 - ax) * left, channel by channel, for strip pixel i.
inline void interpolatePixel(const std::uint8_t* sourceRow, const BilinearScratch& plan, std::uint32_t i, float* out) {
  const std::uint8_t* left = sourceRow + 4 * std::size_t{plan.leftColumn[i]};
  for (int c = 0; c < 4; ++c) {
    const float right = plan.rightWeight[4 * i] * static_cast<float>(left[4 + c]);
    const float keep = plan.leftWeight[4 * i] * static_cast<float>(left[c]);
    out[4 * i + c] = right + keep;
  }
}

template <class Isa>
[[gnu::flatten]] void interpolateRow(const std::uint8_t* sourceRow, const BilinearScratch& plan, std::uint32_t count, float* out) {
  constexpr std::uint32_t kPerVector = Isa::kPixels / 4;
  std::uint32_t i = 0;
  for (; i + kPerVector <= count; i += kPerVector) {
    const std::uint8_t* pairs[kPerVector];
    for (std::uint32_t j = 0; j < kPerVector; ++j) pairs[j] = sourceRow + 4 * std::size_t{plan.leftColumn[i + j]};
    typename Isa::VF left, right;
    Isa::widenPairs(pairs, left, right);
    const auto towardRight = Isa::mul(Isa::loadF(plan.rightWeight + 4 * i), right);
    const auto keep = Isa::mul(Isa::loadF(plan.leftWeight + 4 * i), left);
    Isa::storeF(out + 4 * i, Isa::addF(towardRight, keep));
  }
  for (; i < count; ++i) interpolatePixel(sourceRow, plan, i, out);
}

// Truncated toward zero; the values never reach 256.
inline std::uint8_t truncateChannel(float v) { return static_cast<std::uint8_t>(std::min(v, 255.0f)); }

template <class Isa>
[[gnu::flatten]] void blendRows(const float* upper, const float* lower, float ay, std::uint32_t count, bool stream, std::uint8_t* out) {
  const float stay = 1.0f - ay;
  const auto down = Isa::setF(ay), keep = Isa::setF(stay);
  writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
    typename Isa::VI words[4];
    for (unsigned k = 0; k < 4; ++k) {
      const std::size_t at = 4 * std::size_t{i} + k * Isa::kPixels;
      words[k] = Isa::truncate(Isa::addF(Isa::mul(down, Isa::loadF(lower + at)), Isa::mul(keep, Isa::loadF(upper + at))));
    }
    return Isa::narrow32(words);
  }, [&](std::uint32_t i) {
    for (std::size_t at = 4 * std::size_t{i}; at < 4 * std::size_t{i} + 4; ++at) {
      const float towardLower = ay * lower[at];
      const float kept = stay * upper[at];
      out[at] = truncateChannel(towardLower + kept);
    }
  });
}

template <class Isa>
[[gnu::flatten]] void truncateRow(const float* row, std::uint32_t count, bool stream, std::uint8_t* out) {
  writePixels<Isa>(out, count, stream, [&](std::uint32_t i) {
    typename Isa::VI words[4];
    for (unsigned k = 0; k < 4; ++k) words[k] = Isa::truncate(Isa::loadF(row + 4 * std::size_t{i} + k * Isa::kPixels));
    return Isa::narrow32(words);
  }, [&](std::uint32_t i) {
    for (std::size_t at = 4 * std::size_t{i}; at < 4 * std::size_t{i} + 4; ++at) out[at] = truncateChannel(row[at]);
  });
}

}  // namespace tessaly::simd
