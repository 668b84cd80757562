// Mode 1 on whole bytes, without widening the pixels first: each colour byte
// is (s × a + d × (255 − a)) >> 8 and each alpha byte min(da + a, 255), for
// instruction sets with a byte-pair multiply-add (pmaddubsw).
//
// pmaddubsw multiplies unsigned bytes by signed bytes and adds each pair into
// a 16-bit lane with signed saturation. With the weights (a, 255 − a) as the
// unsigned side and the colours biased to (s − 128, d − 128) as the signed
// side, a lane holds s × a + d × (255 − a) − 128 × 255, which lies in
// −32640 … 32385 and so never saturates. Adding 128 × 255 back modulo 2^16
// gives the sum as an unsigned lane, whose shift by 8 is the colour. The alpha
// rule is a saturating add of the source bytes to the destination bytes. The
// exhaustive kernel tests check every (s, d, a).
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

#include "image/pixel_rect.h"

#include <algorithm>
#include <cstdint>

namespace tessaly::paste {

// One vector of pixels over a set's byte operations `Bytes`
// (alpha_blend_bytes_avx2.h, alpha_blend_bytes_avx512.h).
template <class Bytes>
[[gnu::always_inline]] inline typename Bytes::V alphaBlendVector(typename Bytes::V source, typename Bytes::V target) {
  using V = typename Bytes::V;
  const V weights[2] = {Bytes::weightsLow(source), Bytes::weightsHigh(source)};
  const V s = Bytes::flipTopBit(source);
  const V d = Bytes::flipTopBit(target);
  const V colours[2] = {Bytes::interleaveLow(s, d), Bytes::interleaveHigh(s, d)};
  V shifted[2];
  for (int half = 0; half < 2; ++half) {
    shifted[half] = Bytes::shiftRight8(Bytes::unbias(Bytes::pairProducts(weights[half], colours[half])));
  }
  return Bytes::withAlphaSum(Bytes::narrow(shifted[0], shifted[1]), target, source);
}

// The same for a whole vector, with a shortcut where every source pixel is
// opaque or every one clear, as in most of a sprite. With a = 255 the colour is
// (s × 255) >> 8, which is s − 1 (0 for s = 0), and the alpha min(da + 255,
// 255) = 255 = a; with a = 0 the colour is d − 1 (0 for d = 0) and the alpha
// da. Either is one saturating subtraction of 1 from the colour bytes.
template <class Bytes>
[[gnu::always_inline]] inline typename Bytes::V alphaBlendWholeVector(typename Bytes::V source,
                                                                      const std::uint8_t* target) {
  // The top bits of the alphas first, one cheap test that rules out both
  // shortcuts for nearly every vector of mixed alphas.
  const auto topBits = Bytes::alphaTopBits(source);
  if (topBits == Bytes::kEveryAlphaTopBit && Bytes::allOpaque(source)) return Bytes::lessOneInColour(source);
  if (topBits == 0 && Bytes::allClear(source)) return Bytes::lessOneInColour(Bytes::load(target));
  return alphaBlendVector<Bytes>(source, Bytes::load(target));
}

// Every row: the pixels before the first destination address that is a
// multiple of the vector size, so that the whole-vector stores in between
// never straddle two cache lines, then whole vectors, then the rest. The
// partial vectors are loaded and stored by masks and touch no other byte.
template <class Bytes>
void alphaBlendRows(const PixelRect& source, const PixelRect& target) {
  constexpr std::uint32_t kPixels = Bytes::kPixels;
  constexpr std::uint32_t kBytes = kPixels * 4;
  const auto blendPart = [](const std::uint8_t* s, std::uint8_t* d, std::uint32_t n) {
    Bytes::storePixels(d, alphaBlendVector<Bytes>(Bytes::loadPixels(s, n), Bytes::loadPixels(d, n)), n);
  };
  for (std::uint32_t y = 0; y < target.height; ++y) {
    const std::uint8_t* s = source.row(y);
    std::uint8_t* d = target.row(y);
    std::uint32_t left = target.width;
    const auto past = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(d) % kBytes);
    const std::uint32_t head = past == 0 ? 0 : std::min((kBytes - past) / 4, left);
    if (head != 0) {
      blendPart(s, d, head);
      s += head * 4;
      d += head * 4;
      left -= head;
    }
    for (; left >= kPixels; left -= kPixels, s += kBytes, d += kBytes) {
      Bytes::store(d, alphaBlendWholeVector<Bytes>(Bytes::load(s), d));
    }
    if (left != 0) blendPart(s, d, left);
  }
}

}  // namespace tessaly::paste
