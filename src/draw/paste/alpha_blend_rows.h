// Mode 1 on whole bytes, without widening the pixels first: each colour byte
// is (s × a + d × (255 − a)) >> 8 and each alpha byte min(da + a, 255). The
// row loop here is shared; each instruction set's `Bytes`
// (alpha_blend_bytes_*.h) gives the operations, `blend` among them, which
// combines one vector of pixels. The exhaustive kernel tests check every
// (s, d, a).
//
// Included after the instruction-set switch of the unit that instantiates it.
#pragma once

#include "image/pixel_rect.h"

#include <algorithm>
#include <cstdint>

namespace tessaly::paste {

// A whole vector, with a shortcut where every source pixel is
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
  return Bytes::blend(source, Bytes::load(target));
}

// Every row: the pixels before the first destination address that is a
// multiple of the vector size, so that the whole-vector stores in between
// never straddle two cache lines, then whole vectors, then the rest. The
// partial vectors touch no byte beyond their pixels.
template <class Bytes>
void alphaBlendRows(const PixelRect& source, const PixelRect& target) {
  constexpr std::uint32_t kPixels = Bytes::kPixels;
  constexpr std::uint32_t kBytes = kPixels * 4;
  const auto blendPart = [](const std::uint8_t* s, std::uint8_t* d, std::uint32_t n) {
    Bytes::storePixels(d, Bytes::blend(Bytes::loadPixels(s, n), Bytes::loadPixels(d, n)), n);
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
