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

// Asks for the line kPrefetchBytes past p, to be written: the soft key's
// arithmetic otherwise stalls on the lines of a large image. The address is
// formed as an integer and a prefetch never faults, so it may lie past the
// image.
inline void prefetchAhead(const std::uint8_t* p) {
  constexpr std::uintptr_t kPrefetchBytes = 4096;
  __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(p) + kPrefetchBytes), 1);
}

// The same with single vectors only.
template <class L, class VectorFn, class PixelFn>
void walkRows(const PixelRect& image, VectorFn vectors, PixelFn pixel) {
  walkRows<L>(image, 1, vectors, vectors, pixel);
}

// How many vectors ahead walkVectorsAhead starts the next vectors; sets with
// registers to spare raise it in their units.
template <class L>
inline constexpr unsigned kVectorsAhead = 1;

// Runs every whole vector of the image, row after row, through `front`
// (which loads it) and `back` (which gives the pixels to store), the front of
// a vector kAhead vectors before its back, and `pixel` over each row's pixels
// past its whole vectors. A back that waits on a long division so finds it
// done instead of holding the scheduler while it runs; the vectors run on
// across rows so the pipeline fills once per image.
template <class L, unsigned kAhead, class Front, class Back, class PixelFn>
void walkVectorsAhead(const PixelRect& image, Front front, Back back, PixelFn pixel) {
  constexpr std::size_t kStep = 4 * L::kPixels;
  const std::uint32_t perRow = image.width / L::kPixels;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint8_t* const row = image.row(y);
    for (std::uint8_t* p = row + std::size_t{perRow} * kStep; p < row + 4 * std::size_t{image.width}; p += 4) {
      storePixel(p, pixel(loadPixel(p)));
    }
  }
  // The next vector, row after row, from copies of the image's shape (a
  // store through the image's bytes could alias the rectangle itself).
  const std::ptrdiff_t pitch = image.pitch;
  std::uint8_t* rowStart = image.bits;
  std::uint8_t* at = rowStart;
  std::uint32_t x = 0;
  const auto next = [&] {
    if (x == perRow) {
      x = 0;
      rowStart += pitch;
      at = rowStart;
    }
    ++x;
    std::uint8_t* const p = at;
    at += kStep;
    return p;
  };
  const std::uint64_t total = std::uint64_t{perRow} * image.height;
  std::uint64_t done = 0;
  if (total >= kAhead) {
    decltype(front(image.bits)) stages[kAhead];
    std::uint8_t* storeAt[kAhead];
    for (unsigned k = 0; k < kAhead; ++k) {
      storeAt[k] = next();
      stages[k] = front(storeAt[k]);
    }
    for (done = kAhead; done + kAhead <= total; done += kAhead) {
      for (unsigned k = 0; k < kAhead; ++k) {
        std::uint8_t* const p = next();
        const auto pixels = back(stages[k]);
        stages[k] = front(p);
        L::store(storeAt[k], pixels);
        storeAt[k] = p;
      }
    }
    for (unsigned k = 0; k < kAhead; ++k) L::store(storeAt[k], back(stages[k]));
  }
  for (; done < total; ++done) {
    std::uint8_t* const p = next();
    L::store(p, back(front(p)));
  }
}

// Whether a set stores the lanes a mask chooses and leaves the others'
// memory alone (as `storeWhere`); see the units that have it.
template <class L>
struct MaskedStores {
  static constexpr bool kAvailable = false;
};

// The pixels `hit` finds become `replace` of themselves; a vector is written
// back only when one of its pixels changes, so an image the rule does not meet
// is only read. With masked stores only the changed pixels are written, with
// no branch to mispredict where hits are scattered; without them, four
// vectors are tested at once to keep the reads streaming.
template <class L, class Hit, class Replace, class Pixel>
void rewriteWhere(const PixelRect& image, Hit hit, Replace replace, Pixel pixel) {
  if constexpr (MaskedStores<L>::kAvailable) {
    walkRows<L>(
        image,
        [&](std::uint8_t* p) {
          const auto v = L::load(p);
          MaskedStores<L>::storeWhere(p, hit(v), replace(v));
        },
        pixel);
    return;
  }
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

// The soft key's two rounded steps, as the divider gives them, or (where
// there is a fused multiply-add) without it and with the same results.
template <class L, bool kFused = L::kFusedMultiplyAdd>
struct SoftKeyArithmetic {
  using V = typename L::V;
  using VF = typename L::VF;

  // The removal fraction channel bytes p ask for under key byte k: |p - k|
  // over k below the key, over 255 - k above it (at least 1: a channel equal
  // to the key gives 0), rounded to single precision.
  struct Fraction {
    VF k, below, above;
    explicit Fraction(float key)
        : k(L::setF(key)), below(L::setF(key)), above(L::setF(std::max(255.0f - key, 1.0f))) {}
    VF of(VF p) const {
      const VF distance = L::max(L::sub(p, k), L::sub(k, p));
      return L::div(distance, L::selectF(L::less(p, k), below, above));
    }
  };

  // Under a key whose bytes are all 0 or 255 every pixel byte lies on one
  // side of its key byte, at distance d over 255: d / 255 rounded, from the
  // pixel's largest distance.
  struct EdgeFraction {
    VF of(VF distance) const { return L::div(distance, L::setF(255.0f)); }
  };

  // The removal fraction a the channels are divided by; without a fused
  // multiply-add each channel divides by it on its own.
  struct Divisor {
    VF a{};
    Divisor() = default;
    explicit Divisor(VF divisor) : a(divisor) {}
  };

  // trunc(x / a), x / a rounded to single precision first, within 0 ... 255.
  struct Quotients {
    VF a;
    explicit Quotients(const Divisor& divisor) : a(divisor.a) {}
    V of(VF x) const { return L::truncate(L::min(L::max(L::div(x, a), L::setF(0.0f)), L::setF(255.0f))); }
  };
};

template <class L>
struct SoftKeyArithmetic<L, true> {
  using V = typename L::V;
  using VF = typename L::VF;

  // The same fraction from both sides at once, without a division or a
  // choice of side. With k - p exact, (k - p) / k is the fraction below the
  // key and (k - p) / (k - 255) the one above it; the side that does not
  // apply gives a fraction of 0 or less. Each reciprocal is held as a float
  // and the float nearest to what it leaves (together within 2^-47 of it),
  // so d r + d r' with one rounding lies within 2^-46 of d / D; d / D for
  // whole 0 <= d <= D <= 255 is a float or lies at least 2^-33 (relative)
  // from a midpoint between floats, so it rounds as d / D does. The tests
  // check every key byte against every pixel byte.
  struct Fraction {
    VF k, belowHigh, belowLow, aboveHigh, aboveLow;
    explicit Fraction(float key)
        : k(L::setF(key)),
          belowHigh(L::setF(high(key))),
          belowLow(L::setF(low(key))),
          aboveHigh(L::setF(high(key - 255.0f))),
          aboveLow(L::setF(low(key - 255.0f))) {}
    VF of(VF p) const {
      const VF difference = L::sub(k, p);
      const VF below = L::fusedMulAdd(difference, belowHigh, L::mul(difference, belowLow));
      const VF above = L::fusedMulAdd(difference, aboveHigh, L::mul(difference, aboveLow));
      return L::max(below, above);
    }
    // 1 / d as high + low; 0 for d = 0, the side no pixel byte can be on.
    static float high(float d) { return d == 0.0f ? 0.0f : static_cast<float>(1.0 / d); }
    static float low(float d) { return d == 0.0f ? 0.0f : static_cast<float>(1.0 / d - static_cast<double>(high(d))); }
  };

  // d / 255 as in Fraction, for a key whose bytes are all 0 or 255. Where
  // the set can round a product down, d times 1/255 rounded, itself rounded
  // down, is d / 255 rounded for every whole 0 <= d <= 255 (the tests meet
  // every d): one step instead of two.
  struct EdgeFraction {
    VF high, low;
    EdgeFraction() : high(L::setF(Fraction::high(255.0f))), low(L::setF(Fraction::low(255.0f))) {}
    VF of(VF distance) const {
      if constexpr (requires { L::mulRoundingDown(distance, high); }) {
        return L::mulRoundingDown(distance, high);
      } else {
        return L::fusedMulAdd(distance, high, L::mul(distance, low));
      }
    }
  };

  // trunc(x / a), x / a rounded to single precision first. 1 / a is held as
  // high, 1 / a rounded from the divider (once for the three channels; it
  // works beside the other units, so it costs less than refining an
  // estimate), and low, what high leaves: 1 - a high is exact, and low = (1 -
  // a high) high puts high + low within about 2^-47 of 1 / a. Then x high +
  // x low with one rounding is x / a rounded: a quotient of two floats lies
  // that close to a midpoint between floats only where the tests find none
  // (they check the whole parts for every fraction, key byte and pixel byte).
  // The quotients a pixel leads to lie between -1 and 256, where truncation
  // is defined.
  struct Divisor {
    VF a{}, high{};
    Divisor() = default;
    explicit Divisor(VF divisor) : a(divisor), high(L::div(L::setF(1.0f), divisor)) {}
  };
  struct Quotients {
    VF high, low;
    explicit Quotients(const Divisor& divisor)
        : high(divisor.high), low(L::mul(L::fusedNegMulAdd(divisor.a, high, L::setF(1.0f)), high)) {}
    V of(VF x) const { return L::truncate(L::fusedMulAdd(x, high, L::mul(x, low))); }
  };
};

// The colour bytes of each pixel as floats, and four whole numbers
// 0 ... 255 a lane put back together as pixels. Sets with byte shuffles do
// both in fewer steps (see their units).
template <class L>
struct PixelBytes {
  using V = typename L::V;
  using VF = typename L::VF;

  static void colours(V v, VF (&pc)[3]) {
    const auto byte = L::set(0xFFu);
    pc[0] = L::toFloat(L::bitAnd(v, byte));
    pc[1] = L::toFloat(L::bitAnd(L::template shiftRight<8>(v), byte));
    pc[2] = L::toFloat(L::bitAnd(L::template shiftRight<16>(v), byte));
  }
  static V pixels(V blue, V green, V red, V alpha) {
    return L::bitOr(L::bitOr(blue, L::template shiftLeft<8>(green)),
                    L::bitOr(L::template shiftLeft<16>(red), L::template shiftLeft<24>(alpha)));
  }
};

// The soft key with a lane for each pixel, every step as SoftKeyRule takes
// it.
template <class L>
void softKeyPass(const PixelRect& image, const SoftKeyRule& rule) {
  using VF = typename L::VF;
  using Arithmetic = SoftKeyArithmetic<L>;
  const VF one = L::setF(1.0f), full = L::setF(255.0f);
  const VF k[3] = {L::setF(rule.k[0]), L::setF(rule.k[1]), L::setF(rule.k[2])};
  using Fraction = typename Arithmetic::Fraction;
  const Fraction fractions[3] = {Fraction(rule.k[0]), Fraction(rule.k[1]), Fraction(rule.k[2])};
  // Up to the division, which the back of the vector waits on.
  struct Front {
    VF pc[3]{};
    typename Arithmetic::Divisor divisor;
  };
  // The constants are captured by value: stores through the image's bytes
  // could otherwise alias them and force a reload per vector.
  const auto front = [=](const std::uint8_t* p) {
    prefetchAhead(p);
    VF pc[3];
    PixelBytes<L>::colours(L::load(p), pc);
    VF a = fractions[0].of(pc[0]);
    for (int c = 1; c < 3; ++c) a = L::max(fractions[c].of(pc[c]), a);
    return Front{{pc[0], pc[1], pc[2]}, typename Arithmetic::Divisor(a)};
  };
  const auto back = [=](const Front& f) {
    const VF a = f.divisor.a;
    const VF n = L::sub(one, a);
    const typename Arithmetic::Quotients quotients(f.divisor);
    // Only the key's colour has a = 0, and x = p - k = 0 in each of its
    // channels: 0 / 0 gives NaN, which the divider path clamps to its bound 0
    // and the fused path truncates to the integer indefinite, which the
    // saturating pack of those sets makes 0. So the key comes out as
    // transparent black without a choice per lane.
    return PixelBytes<L>::pixels(quotients.of(L::sub(f.pc[0], L::mul(k[0], n))),
                                 quotients.of(L::sub(f.pc[1], L::mul(k[1], n))),
                                 quotients.of(L::sub(f.pc[2], L::mul(k[2], n))), L::truncate(L::mul(full, a)));
  };
  walkVectorsAhead<L, kVectorsAhead<L>>(image, front, back, [&](std::uint32_t v) { return rule.apply(v); });
}

// The soft key under a key whose bytes are all 0 or 255 (black, white, the
// pure colours: the usual sprite keys), bit c of kAtTop set where key byte c
// is 255. Every channel's candidate is then its distance d = |p - k| over
// 255, so the largest distance gives a; and k n is 0 or the one product
// 255 n.
template <class L, unsigned kAtTop>
void softKeyOnEdgesPass(const PixelRect& image, const SoftKeyRule& rule) {
  using VF = typename L::VF;
  using Arithmetic = SoftKeyArithmetic<L>;
  const VF one = L::setF(1.0f), full = L::setF(255.0f);
  const auto atTop = [](int c) { return ((kAtTop >> c) & 1u) != 0; };
  const typename Arithmetic::EdgeFraction fraction;
  // Up to the division, which the back of the vector waits on.
  struct Front {
    VF pc[3]{}, distance{};
    typename Arithmetic::Divisor divisor;
  };
  // The constants are captured by value: stores through the image's bytes
  // could otherwise alias them and force a reload per vector.
  const auto front = [=](const std::uint8_t* p) {
    prefetchAhead(p);
    VF pc[3];
    PixelBytes<L>::colours(L::load(p), pc);
    // The largest distance: 255 less the least byte keyed at 255, or the
    // largest byte keyed at 0, whichever is larger.
    VF leastTop{}, largestBottom{};
    bool anyTop = false, anyBottom = false;
    for (int c = 0; c < 3; ++c) {
      if (atTop(c)) {
        leastTop = anyTop ? L::min(pc[c], leastTop) : pc[c];
        anyTop = true;
      } else {
        largestBottom = anyBottom ? L::max(pc[c], largestBottom) : pc[c];
        anyBottom = true;
      }
    }
    const VF fromTop = L::sub(full, leastTop);
    const VF distance = !anyTop ? largestBottom : !anyBottom ? fromTop : L::max(fromTop, largestBottom);
    return Front{{pc[0], pc[1], pc[2]}, distance, typename Arithmetic::Divisor(fraction.of(distance))};
  };
  const auto back = [=](const Front& f) {
    const VF product = L::mul(full, L::sub(one, f.divisor.a));
    const typename Arithmetic::Quotients quotients(f.divisor);
    VF x[3];
    for (int c = 0; c < 3; ++c) x[c] = atTop(c) ? L::sub(f.pc[c], product) : f.pc[c];
    // The key's own lanes come out 0 as in softKeyPass. The alpha,
    // trunc(255 a), is the distance itself: 255 times d / 255 rounded comes
    // back to d for every whole 0 <= d <= 255 (the tests meet every d).
    return PixelBytes<L>::pixels(quotients.of(x[0]), quotients.of(x[1]), quotients.of(x[2]),
                                 L::truncate(f.distance));
  };
  walkVectorsAhead<L, kVectorsAhead<L>>(image, front, back, [&](std::uint32_t v) { return rule.apply(v); });
}

template <class L>
void softKeyVectors(const PixelRect& image, std::uint32_t colour) {
  using Pass = void (*)(const PixelRect&, const SoftKeyRule&);
  static constexpr Pass kOnEdges[8] = {softKeyOnEdgesPass<L, 0>, softKeyOnEdgesPass<L, 1>, softKeyOnEdgesPass<L, 2>,
                                       softKeyOnEdgesPass<L, 3>, softKeyOnEdgesPass<L, 4>, softKeyOnEdgesPass<L, 5>,
                                       softKeyOnEdgesPass<L, 6>, softKeyOnEdgesPass<L, 7>};
  const SoftKeyRule rule(colour);
  bool onEdges = true;
  unsigned atTop = 0;
  for (int c = 0; c < 3; ++c) {
    onEdges = onEdges && (rule.k[c] == 0.0f || rule.k[c] == 255.0f);
    if (rule.k[c] == 255.0f) atTop |= 1u << c;
  }
  if (onEdges) {
    kOnEdges[atTop](image, rule);
  } else {
    softKeyPass<L>(image, rule);
  }
}

// The two rounded steps over every pixel byte, for the tests that check
// them over their whole domain.
template <class L>
void softKeyFractions(std::uint32_t keyByte, float* fractions) {
  const typename SoftKeyArithmetic<L>::Fraction fraction(static_cast<float>(keyByte & 0xFFu));
  for (std::uint32_t p = 0; p < 256; p += L::kPixels) {
    L::storeF(fractions + p, fraction.of(L::toFloat(L::bitOr(L::set(p), L::count()))));
  }
}

template <class L>
void softKeyChannel(std::uint32_t keyByte, float a, std::int32_t* values) {
  const auto k = L::setF(static_cast<float>(keyByte & 0xFFu));
  const auto fraction = L::setF(a);
  const auto n = L::sub(L::setF(1.0f), fraction);
  const typename SoftKeyArithmetic<L>::Quotients quotients{typename SoftKeyArithmetic<L>::Divisor(fraction)};
  for (std::uint32_t p = 0; p < 256; p += L::kPixels) {
    const auto x = L::sub(L::toFloat(L::bitOr(L::set(p), L::count())), L::mul(k, n));
    L::store(reinterpret_cast<std::uint8_t*>(values + p), quotients.of(x));
  }
}

template <class Isa>
constexpr ColorKeyKernels makeColorKeyTable() {
  using L = PixelLanes<Isa>;
  return ColorKeyKernels{hardKeyVectors<L>, softKeyVectors<L>, replaceVectors<L>, softKeyFractions<L>, softKeyChannel<L>};
}

}  // namespace tessaly::simd
