// The point filters over whole chunks of pixel words, vectorised. Templates
// over the instruction set only (see simd/kernel_table.h).
#pragma once

#include "filters/point/point_rules.h"
#include "filters/point/scale_steps.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <cstddef>
#include <cstdint>

namespace tessaly::simd {

// The weighted grey in integers: with the float weights w = W / 2^27 (each
// a whole multiple of 2^-27), 0.61 G + 0.31 B + 0.08 R is N / 2^27 for
// N = Σ W·c exactly, so its truncation is N >> 27. N needs 35 bits; with
// W = Wh·2^15 + Wl it is A·2^15 + B for A = Σ Wh·c and B = Σ Wl·c, both
// 16-bit multiply-adds, and N >> 27 = (A + (B >> 15)) >> 12.
namespace grey_weights {
constexpr std::uint32_t whole(float w) { return static_cast<std::uint32_t>(static_cast<double>(w) * 134217728.0); }
inline constexpr std::uint32_t kBlue = whole(point::kBlueWeight);
inline constexpr std::uint32_t kGreen = whole(point::kGreenWeight);
inline constexpr std::uint32_t kRed = whole(point::kRedWeight);
static_assert(kBlue / 134217728.0 == static_cast<double>(point::kBlueWeight) &&
              kGreen / 134217728.0 == static_cast<double>(point::kGreenWeight) &&
              kRed / 134217728.0 == static_cast<double>(point::kRedWeight));
// The halves for the multiply-adds, over (blue, red) in the words' even
// bytes and (green, alpha) in the odd ones.
constexpr std::uint32_t low(std::uint32_t w) { return w & 0x7FFFu; }
constexpr std::uint32_t high(std::uint32_t w) { return w >> 15; }
}  // namespace grey_weights

template <class Isa>
struct PointKernels {
  using VI = typename Isa::VI;
  using Lanes = PixelLanes<Isa>;  // the 32-bit shifts
  static constexpr unsigned kWords = Isa::kChunk / 4;

  static VI alphaOf(VI p) { return Isa::andI(p, Isa::set32(0xFF000000u)); }
  // A grey in each word's low byte (higher bytes 0) into blue, green and red.
  static VI greyWords(VI grey, VI p) {
    return Isa::orI(Isa::orI(grey, Isa::slli32(grey, 8)), Isa::orI(Isa::slli32(grey, 16), alphaOf(p)));
  }

  static void negative(std::uint8_t* pixels, std::size_t chunks) {
    const VI colour = Isa::set32(0x00FFFFFFu);
#pragma GCC unroll 4
    for (std::size_t c = 0; c < chunks; ++c, pixels += Isa::kChunk) Isa::store(pixels, Isa::xorI(Isa::load(pixels), colour));
  }

  static void threshold(std::uint8_t* pixels, std::size_t chunks, std::uint32_t mask, std::uint32_t maskedThreshold) {
    const VI m = Isa::set32(mask), t = Isa::set32(maskedThreshold), white = Isa::set32(0xFFFFFFFFu);
#pragma GCC unroll 4
    for (std::size_t c = 0; c < chunks; ++c, pixels += Isa::kChunk) {
      const VI p = Isa::load(pixels);
      Isa::store(pixels, Isa::selectIfLessU32(Isa::andI(p, m), t, alphaOf(p), white));
    }
  }

  static void lightnessGrey(std::uint8_t* pixels, std::size_t chunks) {
    const VI low = Isa::set32(0xFFu);
    for (std::size_t c = 0; c < chunks; ++c, pixels += Isa::kChunk) {
      const VI p = Isa::load(pixels);
      const VI green = Lanes::template shiftRight<8>(p), red = Lanes::template shiftRight<16>(p);
      const VI most = Isa::andI(Isa::maxU8(Isa::maxU8(p, green), red), low);
      const VI least = Isa::andI(Isa::minU8(Isa::minU8(p, green), red), low);
      Isa::store(pixels, greyWords(Lanes::template shiftRight<1>(Isa::add32(most, least)), p));
    }
  }

  // (R + G + B) / 3 as the high half of (R + G + B) · 43691, halved: exact
  // for sums up to 765.
  static void averageGrey(std::uint8_t* pixels, std::size_t chunks) {
    const VI low = Isa::set32(0xFFu), third = Isa::set32(43691u);
    for (std::size_t c = 0; c < chunks; ++c, pixels += Isa::kChunk) {
      const VI p = Isa::load(pixels);
      const VI sum = Isa::add32(Isa::add32(Isa::andI(p, low), Isa::andI(Lanes::template shiftRight<8>(p), low)),
                                Isa::andI(Lanes::template shiftRight<16>(p), low));
      Isa::store(pixels, greyWords(Lanes::template shiftRight<1>(Isa::mulhi16(sum, third)), p));
    }
  }

  static void weightedGrey(std::uint8_t* pixels, std::size_t chunks) {
    namespace W = grey_weights;
    const VI evenBytes = Isa::set32(0x00FF00FFu);
    const VI lowBlueRed = Isa::set32(W::low(W::kBlue) | W::low(W::kRed) << 16), lowGreen = Isa::set32(W::low(W::kGreen));
    const VI highBlueRed = Isa::set32(W::high(W::kBlue) | W::high(W::kRed) << 16), highGreen = Isa::set32(W::high(W::kGreen));
    for (std::size_t c = 0; c < chunks; ++c, pixels += Isa::kChunk) {
      const VI p = Isa::load(pixels);
      const VI blueRed = Isa::andI(p, evenBytes), green = Isa::andI(Lanes::template shiftRight<8>(p), evenBytes);
      const VI a = Isa::add32(Isa::madd16(blueRed, highBlueRed), Isa::madd16(green, highGreen));
      const VI b = Isa::add32(Isa::madd16(blueRed, lowBlueRed), Isa::madd16(green, lowGreen));
      Isa::store(pixels, greyWords(Lanes::template shiftRight<12>(Isa::add32(a, Lanes::template shiftRight<15>(b))), p));
    }
  }

  // The double operations of point::saturation, kDoubleLanes words at a
  // time, channel by channel. Every product there is exact (a byte times a
  // float), so a fused multiply-add rounds as the separate addition does.
  static void saturationWide(std::uint8_t* pixels, std::size_t chunks, double keep, double toward) {
    using VD = typename Isa::VD;
    using HI = typename Isa::HI;
    const VD keepV = Isa::setD(keep), towardV = Isa::setD(toward), zero = Isa::setD(0.0), top = Isa::setD(255.0);
    const VD blueW = Isa::setD(point::kBlueWeight), greenW = Isa::setD(point::kGreenWeight), redW = Isa::setD(point::kRedWeight);
    const HI low = Isa::setH(0xFFu), alpha = Isa::setH(0xFF000000u);
    const auto channel = [&](VD c, VD k) { return Isa::truncateD(Isa::min(Isa::max(Isa::mulAdd(c, keepV, k), zero), top)); };
    const std::size_t steps = chunks * (kWords / Isa::kDoubleLanes);
    for (std::size_t s = 0; s < steps; ++s, pixels += 4 * Isa::kDoubleLanes) {
      const HI w = Isa::loadHalf(pixels);
      const VD b = Isa::toDoubles(Isa::andH(w, low));
      const VD g = Isa::toDoubles(Isa::andH(Isa::srliH(w, 8), low));
      const VD r = Isa::toDoubles(Isa::andH(Isa::srliH(w, 16), low));
      const VD luma = Isa::mulAdd(redW, r, Isa::mulAdd(greenW, g, Isa::mul(blueW, b)));
      const VD k = Isa::roundToFloat(Isa::mul(luma, towardV));
      const HI out = Isa::orH(Isa::orH(channel(b, k), Isa::slliH(channel(g, k), 8)),
                              Isa::orH(Isa::slliH(channel(r, k), 16), Isa::andH(w, alpha)));
      Isa::storeHalf(pixels, out);
    }
  }
  // With s in 0 … 1, in single precision, kChunk / 4 words at a time: v =
  // c·s + k (0 ≤ v < 256) is formed less than 2^-12 from the rule's value (a
  // few roundings of numbers below 256, where floats lie 2^-16 apart, and of
  // 1 − s), so floor(v · 2^12)
  // gives the rule's byte unless v lies within 2^-12 of a whole number, that
  // is, unless its low 12 bits are all ones or all zeros. Those words (about
  // one in a thousand) are done by the rule itself.
  static void saturationNarrow(std::uint8_t* pixels, std::size_t chunks, double keep, double toward) {
    using VF = typename Isa::VF;
    constexpr float kScale = 4096.0f;
    const VF keepS = Isa::setF(static_cast<float>(keep) * kScale);
    const VF towardS = Isa::setF(static_cast<float>(toward * kScale));
    const VF blueW = Isa::setF(point::kBlueWeight), greenW = Isa::setF(point::kGreenWeight), redW = Isa::setF(point::kRedWeight);
    const VI low = Isa::set32(0xFFu), fraction = Isa::set32(0xFFFu), one = Isa::set32(1);
    for (std::size_t c = 0; c < chunks; ++c, pixels += Isa::kChunk) {
      const VI p = Isa::load(pixels);
      const VF b = Isa::toFloat(Isa::andI(p, low));
      const VF g = Isa::toFloat(Isa::andI(Lanes::template shiftRight<8>(p), low));
      const VF r = Isa::toFloat(Isa::andI(Lanes::template shiftRight<16>(p), low));
      const VF k = Isa::mul(Isa::mulAddF(redW, r, Isa::mulAddF(greenW, g, Isa::mul(blueW, b))), towardS);
      std::uint32_t doubtful = 0;
      const auto channel = [&](VF value) {
        const VI scaled = Isa::truncate(Isa::mulAddF(value, keepS, k));
        doubtful |= Isa::lanesBelow(Isa::andI(Isa::add32(scaled, one), fraction), 2);
        return Lanes::template shiftRight<12>(scaled);
      };
      const VI out = Isa::orI(Isa::orI(channel(b), Isa::slli32(channel(g), 8)),
                              Isa::orI(Isa::slli32(channel(r), 16), alphaOf(p)));
      std::uint32_t words[kWords];
      if (doubtful != 0) Isa::store(reinterpret_cast<std::uint8_t*>(words), p);
      Isa::store(pixels, out);
      for (; doubtful != 0; doubtful &= doubtful - 1) {
        const auto lane = static_cast<unsigned>(__builtin_ctz(doubtful));
        storePixel(pixels + 4 * lane, point::saturation(words[lane], keep, toward));
      }
    }
  }
  static void saturation(std::uint8_t* pixels, std::size_t chunks, double keep, double toward) {
    if (keep >= 0.0) saturationNarrow(pixels, chunks, keep, toward);
    else saturationWide(pixels, chunks, keep, toward);
  }

  // min(255, (c · multiplier + addend) >> shift) byte by byte, the step of
  // each byte's channel.
  static void brightness(std::uint8_t* pixels, std::size_t chunks, const point::ScaleSteps& steps) {
    std::uint32_t multipliers[4], addends[4], shifts[4];
    for (int k = 0; k < 4; ++k) {
      multipliers[k] = steps.channel[k].multiplier;
      addends[k] = steps.channel[k].addend;
      shifts[k] = steps.channel[k].shift;
    }
    const VI m = Isa::repeat128(multipliers), a = Isa::repeat128(addends), s = Isa::repeat128(shifts);
    const VI top = Isa::set32(255);
    const auto scale = [&](VI c) { return Isa::srlv32(Isa::add32(Isa::mullo32(c, m), a), s); };
    for (std::size_t c = 0; c < chunks; ++c, pixels += Isa::kChunk) {
      if constexpr (requires { Isa::widenQuarter32(pixels); }) {
        for (unsigned q = 0; q < 4; ++q) Isa::storeQuarter8Limited(pixels + q * 16, scale(Isa::widenQuarter32(pixels + q * 16)));
      } else {
        VI parts[4];
        Isa::widen32(pixels, parts);
        for (VI& part : parts) part = Isa::minU32(scale(part), top);
        Isa::store(pixels, Isa::narrow32(parts));
      }
    }
  }
};

}  // namespace tessaly::simd
