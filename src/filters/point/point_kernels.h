// The point filters over whole chunks of pixel words, vectorised. Templates
// over the instruction set only (see simd/kernel_table.h).
#pragma once

#include "filters/point/point_rules.h"
#include "filters/point/scale_steps.h"
#include "filters/simd/pixel_lanes.h"
#include "image/pixel_rect.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
  // Saturation's doubtful words: listed up to kList at a time, by their
  // positions within blocks of kBlockChunks chunks.
  static constexpr bool kListsLanes = requires(std::uint32_t* list, VI v) { Isa::appendOtherLanes(list, Isa::lanesWithSomeInEach(v, v, v, 0), v); };
  static constexpr unsigned kList = 256;
  static constexpr std::uint32_t kBlockChunks = 1u << 16;

  static VI alphaOf(VI p) { return Isa::andI(p, Isa::set32(0xFF000000u)); }
  // A grey in each word's low byte (higher bytes 0) into blue, green and red.
  static VI greyWords(VI grey, VI p) {
    return Isa::orI(Isa::orI(grey, Isa::slli32(grey, 8)), Isa::orI(Isa::slli32(grey, 16), alphaOf(p)));
  }

  // The lightest filters are bound by memory even where the image sits in
  // the cache: read and written in place, each line is asked for only when
  // the loop reaches it. Asking kPrefetchBytes ahead, once per line, keeps
  // the loads from waiting (about a tenth less time for the negative on an
  // image in the last-level cache). The address is formed as an integer and
  // may lie past the image: a prefetch never faults.
  static constexpr std::size_t kPrefetchBytes = 8192;
  template <class Step>
  static void prefetchedChunks(std::uint8_t* pixels, std::size_t chunks, Step step) {
    constexpr std::size_t kLine = 64, kLines = 4, kStepChunks = kLines * kLine / Isa::kChunk;
    std::size_t c = 0;
    for (; c + kStepChunks <= chunks; c += kStepChunks) {
      const std::uintptr_t ahead = reinterpret_cast<std::uintptr_t>(pixels) + kPrefetchBytes;
      for (std::size_t line = 0; line < kLines; ++line) __builtin_prefetch(reinterpret_cast<const void*>(ahead + line * kLine), 1);
#pragma GCC unroll 16
      for (std::size_t k = 0; k < kStepChunks; ++k, pixels += Isa::kChunk) step(pixels);
    }
    for (; c < chunks; ++c, pixels += Isa::kChunk) step(pixels);
  }

  static void negative(std::uint8_t* pixels, std::size_t chunks) {
    const VI colour = Isa::set32(0x00FFFFFFu);
    prefetchedChunks(pixels, chunks, [&](std::uint8_t* p) { Isa::store(p, Isa::xorI(Isa::load(p), colour)); });
  }

  static void threshold(std::uint8_t* pixels, std::size_t chunks, std::uint32_t mask, std::uint32_t maskedThreshold) {
    const VI m = Isa::set32(mask), t = Isa::set32(maskedThreshold), white = Isa::set32(0xFFFFFFFFu);
    prefetchedChunks(pixels, chunks, [&](std::uint8_t* p) {
      const VI v = Isa::load(p);
      Isa::store(p, Isa::selectIfLessU32(Isa::andI(v, m), t, alphaOf(v), white));
    });
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
  // With s in 0 … 1, in single precision, kChunk / 4 words at a time, k as
  // Σ c·(w·(1 − s)) with each weight times 1 − s rounded to a float. Every
  // rounding is of a number below 256 (at most 2^-17 off; k's first term
  // below 128, 2^-18) or of such a weight (0.31, 0.61 and 0.08 times at most
  // 1: 2^-26, 2^-25 and 2^-28, times bytes: 1.62 · 2^-17 in all): k's three,
  // the rule's rounding of k, and v = c·s + k's last, so v lies less than
  // 6.2 · 2^-17 from the rule's value, or 8.3 · 2^-17 where a multiply-add
  // rounds twice. k carries a bias of b = 2^-14 (2^-13), so the truncation
  // of v · 2^16 holds the rule's byte in its third byte unless v − b lies
  // within b of a whole number, that is, unless its low 16 bits are below
  // 2 · 2^16 · b. Those words (about one in two hundred: with weights and s
  // of few decimals many results are whole numbers) go through the exact
  // kernel.
  static void saturationNarrow(std::uint8_t* pixels, std::size_t chunks, double keep, double toward) {
    using VF = typename Isa::VF;
    constexpr double kScale = 65536.0;
    const auto weight = [&](float w) { return Isa::setF(static_cast<float>(static_cast<double>(w) * toward * kScale)); };
    const VF keepS = Isa::setF(static_cast<float>(keep * kScale));
    const VF blueW = weight(point::kBlueWeight), greenW = weight(point::kGreenWeight), redW = weight(point::kRedWeight);
    // Isa::mulAddF is fused exactly where the pixel lanes have fused forms.
    constexpr std::uint32_t kNear = Lanes::kFusedMultiplyAdd ? 4 : 8;
    const VF bias = Isa::setF(kNear);
    const VI low = Isa::set32(0xFFu);
    // Masks of whole bytes for the choices that put the bytes together.
    const VI greenByte = Isa::set32(0x0000FF00u), redByte = Isa::set32(0x00FF0000u), lowHalf = Isa::set32(0x0000FFFFu);
    // Where the set can list lanes without a branch, doubtful words keep
    // their input and their positions (from blockStart) are listed, to be
    // settled together; otherwise each is settled at once.
    std::uint32_t list[kList + kWords];
    unsigned listed = 0;
    const VI nextChunk = Isa::set32(kWords);
    for (std::size_t blockFirst = 0; blockFirst < chunks; blockFirst += kBlockChunks) {
      std::uint8_t* const blockStart = pixels;
      const std::size_t blockEnd = std::min(chunks, blockFirst + kBlockChunks);
      VI position = Lanes::count();
      for (std::size_t c = blockFirst; c < blockEnd; ++c, pixels += Isa::kChunk) {
        const VI p = Isa::load(pixels);
        const VF b = Isa::toFloat(Isa::andI(p, low));
        const VF g = Isa::toFloat(Isa::template byteOfEachWord<1>(p));
        const VF r = Isa::toFloat(Isa::template byteOfEachWord<2>(p));
        const VF k = Isa::mulAddF(redW, r, Isa::mulAddF(greenW, g, Isa::mulAddF(blueW, b, bias)));
        const auto scaled = [&](VF value) { return Isa::truncate(Isa::mulAddF(value, keepS, k)); };
        const VI blue = scaled(b), green = scaled(g), red = scaled(r);
        const auto sure = Isa::lanesWithSomeInEach(blue, green, red, 0xFFFFu & ~(2 * kNear - 1));
        const VI blueGreen = Isa::select(greenByte, Lanes::template shiftRight<8>(green), Lanes::template shiftRight<16>(blue));
        const VI out = Isa::select(lowHalf, blueGreen, Isa::select(redByte, red, p));
        if constexpr (kListsLanes) {
          Isa::storeLanes(pixels, sure, out);
          listed += Isa::appendOtherLanes(list + listed, sure, position);
          position = Isa::add32(position, nextChunk);
          if (listed > kList - kWords) {
            settle(blockStart, list, listed, keep, toward);
            listed = 0;
          }
        } else {
          std::uint32_t words[kWords], unsure = ~sure & ((1u << kWords) - 1);
          if (unsure != 0) Isa::store(reinterpret_cast<std::uint8_t*>(words), p);
          Isa::store(pixels, out);
          for (; unsure != 0; unsure &= unsure - 1) {
            const auto lane = static_cast<unsigned>(__builtin_ctz(unsure));
            storePixel(pixels + 4 * lane, point::saturation(words[lane], keep, toward));
          }
        }
      }
      if constexpr (kListsLanes) {
        settle(blockStart, list, listed, keep, toward);
        listed = 0;
      }
    }
  }
  // The listed words (positions from first) through the exact kernel: gathered
  // into whole chunks, rewritten, put back.
  static void settle(std::uint8_t* first, const std::uint32_t* positions, unsigned count, double keep, double toward) {
    std::uint8_t block[4 * kList] = {};
    for (unsigned i = 0; i < count; ++i) std::memcpy(block + 4 * i, first + 4 * std::size_t{positions[i]}, 4);
    saturationWide(block, (count + kWords - 1) / kWords, keep, toward);
    for (unsigned i = 0; i < count; ++i) std::memcpy(first + 4 * std::size_t{positions[i]}, block + 4 * i, 4);
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
