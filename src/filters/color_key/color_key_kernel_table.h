// The colour-key kernels over vectors of pixels, written once for every
// instruction set, and the table of one set. Included only by the per-set
// units (color_key_kernels_*.cpp), after their target switch.
#pragma once

#include "filters/color_key/color_key_kernels.h"
#include "filters/color_key/color_key_scalar_kernels.h"
#include "filters/simd/pixel_lanes.h"

#include <cstdint>

namespace tessaly::simd {

// Runs `vectors` over each row's whole vectors and `pixel` over what is left.
template <class L, class VectorFn, class PixelFn>
void walkRows(const PixelRect& image, VectorFn vectors, PixelFn pixel) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint8_t* p = image.row(y);
    std::uint32_t x = 0;
    for (; x + L::kPixels <= image.width; x += L::kPixels, p += 4 * L::kPixels) vectors(p);
    for (; x < image.width; ++x, p += 4) storePixel(p, pixel(loadPixel(p)));
  }
}

// A vector is written back only when one of its pixels changes, so an image
// the key does not meet is only read.
template <class L>
void hardKeyVectors(const PixelRect& image, std::uint32_t colour) {
  const std::uint32_t key = colour & 0x00FFFFFFu;
  const auto rgb = L::set(0x00FFFFFFu);
  const auto keyLanes = L::set(key);
  walkRows<L>(
      image,
      [&](std::uint8_t* p) {
        const auto v = L::load(p);
        const auto colourBytes = L::bitAnd(v, rgb);
        const auto hit = L::equal(colourBytes, keyLanes);
        if (L::any(hit)) L::store(p, L::select(hit, colourBytes, v));
      },
      [&](std::uint32_t v) { return hardKeyPixel(v, key); });
}

template <class L>
void replaceVectors(const PixelRect& image, std::uint32_t replacement, std::uint32_t source) {
  const auto sourceLanes = L::set(source);
  const auto replacementLanes = L::set(replacement);
  walkRows<L>(
      image,
      [&](std::uint8_t* p) {
        const auto v = L::load(p);
        const auto hit = L::equal(v, sourceLanes);
        if (L::any(hit)) L::store(p, L::select(hit, replacementLanes, v));
      },
      [&](std::uint32_t v) { return v == source ? replacement : v; });
}

// The soft key with a lane for each pixel, every step as SoftKeyRule takes
// it. The candidate of a channel is |p - k| over k below the key and over
// 255 - k above it; a channel equal to the key gives 0 over at least 1.
template <class L>
void softKeyVectors(const PixelRect& image, std::uint32_t colour) {
  using VF = typename L::VF;
  const SoftKeyRule rule(colour);
  const auto rgb = L::set(0x00FFFFFFu);
  const auto keyLanes = L::set(rule.key);
  const auto byte = L::set(0xFFu);
  const VF zero = L::setF(0.0f), one = L::setF(1.0f), full = L::setF(255.0f);
  VF k[3], room[3];
  for (int c = 0; c < 3; ++c) {
    k[c] = L::setF(rule.k[c]);
    room[c] = L::setF(255.0f - rule.k[c]);
  }
  walkRows<L>(
      image,
      [&](std::uint8_t* p) {
        const auto v = L::load(p);
        const auto isKey = L::equal(L::bitAnd(v, rgb), keyLanes);
        const VF pc[3] = {L::toFloat(L::bitAnd(v, byte)), L::toFloat(L::bitAnd(L::template shiftRight<8>(v), byte)),
                          L::toFloat(L::bitAnd(L::template shiftRight<16>(v), byte))};
        VF a = zero;
        for (int c = 0; c < 3; ++c) {
          const VF distance = L::max(L::sub(pc[c], k[c]), L::sub(k[c], pc[c]));
          const VF over = L::max(L::selectF(L::less(pc[c], k[c]), k[c], room[c]), one);
          a = L::max(L::div(distance, over), a);
        }
        const VF n = L::sub(one, a);
        // Within 0 ... 255 before the conversion; the key's own lanes (0 / 0)
        // give NaN here, which max turns into 0, and are replaced below.
        const auto toByte = [&](VF value) { return L::truncate(L::min(L::max(value, zero), full)); };
        auto out = L::template shiftLeft<24>(toByte(L::mul(full, a)));
        out = L::bitOr(out, toByte(L::div(L::sub(pc[0], L::mul(k[0], n)), a)));
        out = L::bitOr(out, L::template shiftLeft<8>(toByte(L::div(L::sub(pc[1], L::mul(k[1], n)), a))));
        out = L::bitOr(out, L::template shiftLeft<16>(toByte(L::div(L::sub(pc[2], L::mul(k[2], n)), a))));
        L::store(p, L::select(isKey, L::set(0), out));
      },
      [&](std::uint32_t v) { return rule.apply(v); });
}

template <class Isa>
constexpr ColorKeyKernels makeColorKeyTable() {
  using L = PixelLanes<Isa>;
  return ColorKeyKernels{hardKeyVectors<L>, softKeyVectors<L>, replaceVectors<L>};
}

}  // namespace tessaly::simd
