// The colour-key kernels over vectors of pixels, written once for every
// instruction set, and the table of one set. Included only by the per-set
// units (color_key_kernels_*.cpp), after their target switch.
#pragma once

#include "filters/color_key/color_key_kernels.h"
#include "filters/color_key/color_key_scalar_kernels.h"
#include "filters/simd/pixel_lanes.h"

#include <algorithm>
#include <cstdint>

namespace tessaly::simd {

// Runs `blocks` over each row's runs of `vectorsPerBlock` whole vectors,
// `vectors` over the whole vectors left and `pixel` over the pixels left.
template <class L, class BlockFn, class VectorFn, class PixelFn>
void walkRows(const PixelRect& image, unsigned vectorsPerBlock, BlockFn blocks, VectorFn vectors, PixelFn pixel) {
  const unsigned blockPixels = vectorsPerBlock * L::kPixels;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint8_t* p = image.row(y);
    std::uint32_t x = 0;
    for (; x + blockPixels <= image.width; x += blockPixels, p += 4 * blockPixels) blocks(p);
    for (; x + L::kPixels <= image.width; x += L::kPixels, p += 4 * L::kPixels) vectors(p);
    for (; x < image.width; ++x, p += 4) storePixel(p, pixel(loadPixel(p)));
  }
}

// The same with single vectors only.
template <class L, class VectorFn, class PixelFn>
void walkRows(const PixelRect& image, VectorFn vectors, PixelFn pixel) {
  walkRows<L>(image, 1, vectors, vectors, pixel);
}

// The pixels `hit` finds become `replace` of themselves; a vector is written
// back only when one of its pixels changes, so an image the rule does not meet
// is only read. Four vectors are tested at once to keep the reads streaming.
template <class L, class Hit, class Replace, class Pixel>
void rewriteWhere(const PixelRect& image, Hit hit, Replace replace, Pixel pixel) {
  constexpr unsigned kBlock = 4;
  const auto rewrite = [&](std::uint8_t* p, typename L::V v, typename L::Mask m) {
    if (L::any(m)) L::store(p, L::select(m, replace(v), v));
  };
  walkRows<L>(
      image, kBlock,
      [&](std::uint8_t* p) {
        typename L::V v[kBlock];
        typename L::Mask m[kBlock];
        for (unsigned j = 0; j < kBlock; ++j) {
          v[j] = L::load(p + 4 * L::kPixels * j);
          m[j] = hit(v[j]);
        }
        if (!L::any(L::maskOr(L::maskOr(m[0], m[1]), L::maskOr(m[2], m[3])))) return;
        for (unsigned j = 0; j < kBlock; ++j) rewrite(p + 4 * L::kPixels * j, v[j], m[j]);
      },
      [&](std::uint8_t* p) {
        const auto v = L::load(p);
        rewrite(p, v, hit(v));
      },
      pixel);
}

template <class L>
void hardKeyVectors(const PixelRect& image, std::uint32_t colour) {
  const std::uint32_t key = colour & 0x00FFFFFFu;
  const auto rgb = L::set(0x00FFFFFFu);
  const auto keyLanes = L::set(key);
  rewriteWhere<L>(
      image, [&](typename L::V v) { return L::equal(L::bitAnd(v, rgb), keyLanes); },
      [&](typename L::V v) { return L::bitAnd(v, rgb); }, [&](std::uint32_t v) { return hardKeyPixel(v, key); });
}

template <class L>
void replaceVectors(const PixelRect& image, std::uint32_t replacement, std::uint32_t source) {
  const auto sourceLanes = L::set(source);
  const auto replacementLanes = L::set(replacement);
  rewriteWhere<L>(
      image, [&](typename L::V v) { return L::equal(v, sourceLanes); }, [&](typename L::V) { return replacementLanes; },
      [&](std::uint32_t v) { return v == source ? replacement : v; });
}

// The two divisions of the soft key, as the divider gives them, or (where
// there is a fused multiply-add) without it and with the same results.
template <class L, bool kFused = L::kFusedMultiplyAdd>
struct SoftKeyDivisions {
  using VF = typename L::VF;

  // n / d rounded to single precision, for whole numbers 0 <= n <= 255 and
  // 1 <= d <= 255, given r = 1 / d rounded.
  static VF fraction(VF n, VF d, VF) { return L::div(n, d); }

  // trunc(x / a), x / a rounded to single precision first, within 0 ... 255.
  struct Quotients {
    VF a;
    explicit Quotients(VF divisor) : a(divisor) {}
    typename L::V of(VF x) const { return L::truncate(L::min(L::max(L::div(x, a), L::setF(0.0f)), L::setF(255.0f))); }
  };
};

template <class L>
struct SoftKeyDivisions<L, true> {
  using VF = typename L::VF;

  // The product n r lies within an ulp of n / d; one correction by its exact
  // remainder (n - d q, formed with one rounding) gives the rounded quotient.
  // The tests check this for every n and d.
  static VF fraction(VF n, VF d, VF r) {
    const VF q = L::mul(n, r);
    return L::fusedMulAdd(L::fusedNegMulAdd(q, d, n), r, q);
  }

  // Only the whole part of the rounded quotient is needed. An estimate q of
  // x / a within 0.07 rounds to N, the whole part or one above it; the whole
  // part is N exactly when x / a rounds to N or above, that is when x / a
  // reaches the midpoint between N and the float below it: a N - x <= a h,
  // with h half the gap below N. a N - x is formed with one rounding and is
  // exact wherever it is small enough to matter; a h is exact (h is a power
  // of two). For N = 0 the gap is not a number and the result is limited to 0.
  struct Quotients {
    VF a, halfA, reciprocal;
    explicit Quotients(VF divisor)
        : a(divisor), halfA(L::mul(divisor, L::setF(0.5f))), reciprocal(L::reciprocalEstimate(divisor)) {}

    typename L::V of(VF x) const {
      const VF whole = L::roundToInteger(L::mul(x, reciprocal));
      const VF below = L::floatOf(L::sub32(L::bitsOf(whole), L::set(1)));
      const auto reaches = L::lessEqual(L::fusedMulSub(a, whole, x), L::mul(L::sub(whole, below), halfA));
      const VF result = L::selectF(reaches, whole, L::sub(whole, L::setF(1.0f)));
      return L::truncate(L::max(result, L::setF(0.0f)));
    }
  };
};

// The soft key with a lane for each pixel, every step as SoftKeyRule takes
// it. The candidate of a channel is |p - k| over k below the key and over
// 255 - k above it (at least 1: a channel equal to the key gives 0).
template <class L>
void softKeyVectors(const PixelRect& image, std::uint32_t colour) {
  using VF = typename L::VF;
  using Divisions = SoftKeyDivisions<L>;
  const SoftKeyRule rule(colour);
  const auto rgb = L::set(0x00FFFFFFu);
  const auto keyLanes = L::set(rule.key);
  const auto byte = L::set(0xFFu);
  const VF zero = L::setF(0.0f), one = L::setF(1.0f), full = L::setF(255.0f);
  VF k[3], below[3], belowReciprocal[3], above[3], aboveReciprocal[3];
  for (int c = 0; c < 3; ++c) {
    const float room = std::max(255.0f - rule.k[c], 1.0f);
    k[c] = L::setF(rule.k[c]);
    below[c] = L::setF(rule.k[c]);
    belowReciprocal[c] = L::setF(rule.k[c] > 0.0f ? static_cast<float>(1.0 / rule.k[c]) : 0.0f);
    above[c] = L::setF(room);
    aboveReciprocal[c] = L::setF(static_cast<float>(1.0 / room));
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
          const auto isBelow = L::less(pc[c], k[c]);
          const VF over = L::selectF(isBelow, below[c], above[c]);
          const VF reciprocal = L::selectF(isBelow, belowReciprocal[c], aboveReciprocal[c]);
          a = L::max(Divisions::fraction(distance, over, reciprocal), a);
        }
        const VF n = L::sub(one, a);
        const typename Divisions::Quotients quotients(a);
        // The key's own lanes (a = 0) give meaningless values here; they are
        // replaced below.
        auto out = L::template shiftLeft<24>(L::truncate(L::mul(full, a)));
        out = L::bitOr(out, quotients.of(L::sub(pc[0], L::mul(k[0], n))));
        out = L::bitOr(out, L::template shiftLeft<8>(quotients.of(L::sub(pc[1], L::mul(k[1], n)))));
        out = L::bitOr(out, L::template shiftLeft<16>(quotients.of(L::sub(pc[2], L::mul(k[2], n)))));
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
