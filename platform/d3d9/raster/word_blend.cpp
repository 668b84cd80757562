#include "d3d9/raster/word_blend.h"

#include "d3d9/raster/unorm8.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

namespace swd3d::raster {

namespace {

bool isReplace(const BlendSettings& blend) {
  if (!blend.enabled) return true;
  const auto keeps = [](BlendFactor source, BlendFactor dest, BlendOp op) {
    return source == BlendFactor::One && dest == BlendFactor::Zero &&
           (op == BlendOp::Add || op == BlendOp::Subtract);
  };
  return keeps(blend.srcColour, blend.destColour, blend.colourOp) &&
         keeps(blend.srcAlpha, blend.destAlpha, blend.alphaOp);
}

// Factors the source-alpha kernel builds from the source alpha alone.
bool fromSourceAlpha(BlendFactor factor) {
  return factor == BlendFactor::Zero || factor == BlendFactor::One ||
         factor == BlendFactor::SrcAlpha || factor == BlendFactor::InvSrcAlpha;
}

// The masks that make `factor` from alpha and 255 - alpha in one lane.
void overMasks(BlendFactor factor, std::uint16_t (&masks)[3][8], int lane) {
  const std::uint16_t all = 0xFFFF;
  masks[0][lane] = factor == BlendFactor::SrcAlpha ? all : 0;
  masks[1][lane] = factor == BlendFactor::InvSrcAlpha ? all : 0;
  masks[2][lane] = factor == BlendFactor::One ? 255 : 0;
}

struct Bytes {
  std::int32_t c[4];  // blue, green, red, alpha
};

Bytes bytesOf(std::uint32_t word) {
  return {{std::int32_t(word & 0xFF), std::int32_t((word >> 8) & 0xFF),
           std::int32_t((word >> 16) & 0xFF), std::int32_t(word >> 24)}};
}

std::int32_t factorByte(BlendFactor factor, const Bytes& s, const Bytes& d, const Bytes& k,
                        int channel) {
  switch (factor) {
    case BlendFactor::Zero: return 0;
    case BlendFactor::One: return 255;
    case BlendFactor::SrcColour: return s.c[channel];
    case BlendFactor::InvSrcColour: return 255 - s.c[channel];
    case BlendFactor::SrcAlpha: return s.c[3];
    case BlendFactor::InvSrcAlpha: return 255 - s.c[3];
    case BlendFactor::DestAlpha: return d.c[3];
    case BlendFactor::InvDestAlpha: return 255 - d.c[3];
    case BlendFactor::DestColour: return d.c[channel];
    case BlendFactor::InvDestColour: return 255 - d.c[channel];
    case BlendFactor::SrcAlphaSat: return channel == 3 ? 255 : std::min(s.c[3], 255 - d.c[3]);
    case BlendFactor::Constant: return k.c[channel];
    case BlendFactor::InvConstant: return 255 - k.c[channel];
  }
  return 0;
}

std::uint32_t blendByte(BlendFactor sourceFactor, BlendFactor destFactor, BlendOp op,
                        const Bytes& s, const Bytes& d, const Bytes& k, int channel) {
  const std::int32_t source = s.c[channel];
  const std::int32_t dest = d.c[channel];
  std::int32_t sum = 0;  // in units of 1 / 255²
  switch (op) {
    case BlendOp::Min: return std::uint32_t(std::min(source, dest));
    case BlendOp::Max: return std::uint32_t(std::max(source, dest));
    case BlendOp::Add:
      sum = source * factorByte(sourceFactor, s, d, k, channel) +
            dest * factorByte(destFactor, s, d, k, channel);
      break;
    case BlendOp::Subtract:
      sum = source * factorByte(sourceFactor, s, d, k, channel) -
            dest * factorByte(destFactor, s, d, k, channel);
      break;
    case BlendOp::RevSubtract:
      sum = dest * factorByte(destFactor, s, d, k, channel) -
            source * factorByte(sourceFactor, s, d, k, channel);
      break;
  }
  if (sum <= 0) return 0;
  if (sum >= 255 * 255) return 255;
  return div255Rounded(std::uint32_t(sum));
}

}  // namespace

WordBlend::WordBlend(const BlendSettings& settings, VectorWidth width)
    : settings_(settings), kernel_(&exact) {
  if (isReplace(settings)) {
    replaces_ = settings.writeMask == 0xFFFFFFFF;
    if (replaces_) kernel_ = &copy;
    return;
  }
  const bool sourceAlphaColour = settings.srcColour == BlendFactor::SrcAlpha &&
                                 settings.destColour == BlendFactor::InvSrcAlpha &&
                                 settings.colourOp == BlendOp::Add;
  if (sourceAlphaColour && settings.alphaOp == BlendOp::Add &&
      fromSourceAlpha(settings.srcAlpha) && fromSourceAlpha(settings.destAlpha)) {
    for (int lane = 0; lane < 8; ++lane) {
      const bool alphaLane = lane % 4 == 3;
      overMasks(alphaLane ? settings.srcAlpha : settings.srcColour, masks_.source, lane);
      overMasks(alphaLane ? settings.destAlpha : settings.destColour, masks_.dest, lane);
    }
    AlphaRule rule = AlphaRule::Masks;
    writeMask_ = settings.writeMask;
    const BlendFactor sa = settings.srcAlpha;
    const BlendFactor da = settings.destAlpha;
    if (sa == BlendFactor::SrcAlpha && da == BlendFactor::InvSrcAlpha) {
      rule = AlphaRule::LikeColour;
    } else if (sa == BlendFactor::One && da == BlendFactor::One) {
      rule = AlphaRule::Sum;
    } else if (sa == BlendFactor::Zero && da == BlendFactor::One) {
      // The destination's alpha stays: blend colour, write no alpha.
      rule = AlphaRule::LikeColour;
      writeMask_ &= 0x00FFFFFF;
    }
    kernel_ = overKernel(rule, writeMask_ != 0xFFFFFFFF, width);
  }
}

void WordBlend::copy(const WordBlend&, const std::uint32_t* source, int count,
                     std::uint32_t* target) {
  std::memmove(target, source, std::size_t(count) * 4);
}

void WordBlend::exact(const WordBlend& blend, const std::uint32_t* source, int count,
                      std::uint32_t* target) {
  const BlendSettings& b = blend.settings_;
  const Bytes k = bytesOf(b.constant);
  const std::uint32_t keep = ~b.writeMask;
  for (int i = 0; i < count; ++i) {
    const std::uint32_t old = target[i];
    std::uint32_t result = source[i];
    if (b.enabled) {
      const Bytes s = bytesOf(source[i]);
      const Bytes d = bytesOf(old);
      result = 0;
      for (int c = 0; c < 3; ++c) {
        result |= blendByte(b.srcColour, b.destColour, b.colourOp, s, d, k, c) << (8 * c);
      }
      result |= blendByte(b.srcAlpha, b.destAlpha, b.alphaOp, s, d, k, 3) << 24;
    }
    target[i] = (result & b.writeMask) | (old & keep);
  }
}

// The source-alpha kernels, in SSE2 (four pixels a step) and AVX2 (eight).
// Each channel: n = s × fs + d × fd in 16-bit lanes (each product at most
// 255², the sum saturated and clamped to 255²), then round(n / 255) =
// (n + 128) × 257 >> 16 as a high multiply.
struct OverKernels {
  template <WordBlend::AlphaRule kRule, bool kMasked>
  static void sse2(const WordBlend& blend, const std::uint32_t* source, int count,
                   std::uint32_t* target);
  template <WordBlend::AlphaRule kRule, bool kMasked>
  __attribute__((target("avx2"))) static void avx2(const WordBlend& blend,
                                                   const std::uint32_t* source, int count,
                                                   std::uint32_t* target);
};

namespace {

using AlphaRule = WordBlend::AlphaRule;

struct Sse2Masks {
  __m128i source[3];
  __m128i dest[3];
};

template <AlphaRule kRule>
inline __m128i overLanes(__m128i s, __m128i d, const Sse2Masks& m) {
  const __m128i all255 = _mm_set1_epi16(255);
  __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
  const __m128i inverse = _mm_sub_epi16(all255, alpha);
  __m128i fs = alpha;
  __m128i fd = inverse;
  if constexpr (kRule == AlphaRule::Masks) {
    fs = _mm_or_si128(_mm_or_si128(_mm_and_si128(alpha, m.source[0]),
                                   _mm_and_si128(inverse, m.source[1])),
                      m.source[2]);
    fd = _mm_or_si128(_mm_or_si128(_mm_and_si128(alpha, m.dest[0]),
                                   _mm_and_si128(inverse, m.dest[1])),
                      m.dest[2]);
  }
  __m128i sum;
  if constexpr (kRule == AlphaRule::Masks) {  // one + one can pass 255²
    sum = _mm_adds_epu16(_mm_mullo_epi16(s, fs), _mm_mullo_epi16(d, fd));
    sum = _mm_sub_epi16(sum, _mm_subs_epu16(sum, _mm_set1_epi16(short(255 * 255))));
  } else {  // a × s + (255 - a) × d <= 255²
    sum = _mm_add_epi16(_mm_mullo_epi16(s, fs), _mm_mullo_epi16(d, fd));
  }
  return _mm_mulhi_epu16(_mm_add_epi16(sum, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

template <AlphaRule kRule, bool kMasked>
inline __m128i overPixels(__m128i s, __m128i d, const Sse2Masks& m, __m128i writeMask) {
  const __m128i zero = _mm_setzero_si128();
  __m128i result = _mm_packus_epi16(
      overLanes<kRule>(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), m),
      overLanes<kRule>(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), m));
  if constexpr (kRule == AlphaRule::Sum) {
    const __m128i alphaBytes = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    result = _mm_or_si128(_mm_andnot_si128(alphaBytes, result),
                          _mm_and_si128(alphaBytes, _mm_adds_epu8(s, d)));
  }
  if constexpr (kMasked) {
    result = _mm_or_si128(_mm_and_si128(result, writeMask), _mm_andnot_si128(writeMask, d));
  }
  return result;
}

}  // namespace

template <AlphaRule kRule, bool kMasked>
void OverKernels::sse2(const WordBlend& blend, const std::uint32_t* source, int count,
                       std::uint32_t* target) {
  const WordBlend::OverMasks& om = blend.masks_;
  Sse2Masks m{};
  for (int i = 0; i < 3; ++i) {
    m.source[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(om.source[i]));
    m.dest[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(om.dest[i]));
  }
  const __m128i writeMask = _mm_set1_epi32(static_cast<int>(blend.writeMask_));
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(target + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i),
                     overPixels<kRule, kMasked>(s, d, m, writeMask));
  }
  for (; i < count; ++i) {
    const __m128i s = _mm_cvtsi32_si128(static_cast<int>(source[i]));
    const __m128i d = _mm_cvtsi32_si128(static_cast<int>(target[i]));
    target[i] = static_cast<std::uint32_t>(
        _mm_cvtsi128_si32(overPixels<kRule, kMasked>(s, d, m, writeMask)));
  }
}

namespace {

struct Avx2Masks {
  __m256i source[3];
  __m256i dest[3];
};

template <AlphaRule kRule>
__attribute__((target("avx2"))) inline __m256i overLanes256(__m256i s, __m256i d,
                                                            const Avx2Masks& m) {
  const __m256i all255 = _mm256_set1_epi16(255);
  const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF);
  const __m256i inverse = _mm256_sub_epi16(all255, alpha);
  __m256i fs = alpha;
  __m256i fd = inverse;
  __m256i sum;
  if constexpr (kRule == AlphaRule::Masks) {
    fs = _mm256_or_si256(_mm256_or_si256(_mm256_and_si256(alpha, m.source[0]),
                                         _mm256_and_si256(inverse, m.source[1])),
                         m.source[2]);
    fd = _mm256_or_si256(_mm256_or_si256(_mm256_and_si256(alpha, m.dest[0]),
                                         _mm256_and_si256(inverse, m.dest[1])),
                         m.dest[2]);
    sum = _mm256_adds_epu16(_mm256_mullo_epi16(s, fs), _mm256_mullo_epi16(d, fd));
    sum = _mm256_sub_epi16(sum, _mm256_subs_epu16(sum, _mm256_set1_epi16(short(255 * 255))));
  } else {
    sum = _mm256_add_epi16(_mm256_mullo_epi16(s, fs), _mm256_mullo_epi16(d, fd));
  }
  return _mm256_mulhi_epu16(_mm256_add_epi16(sum, _mm256_set1_epi16(128)),
                            _mm256_set1_epi16(257));
}

template <AlphaRule kRule, bool kMasked>
__attribute__((target("avx2"))) inline __m256i overPixels256(__m256i s, __m256i d,
                                                             const Avx2Masks& m,
                                                             __m256i writeMask) {
  const __m256i zero = _mm256_setzero_si256();
  // Unpacking and packing work within 128-bit halves, so the pixels come
  // back in their own order.
  __m256i result = _mm256_packus_epi16(
      overLanes256<kRule>(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero), m),
      overLanes256<kRule>(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero), m));
  if constexpr (kRule == AlphaRule::Sum) {
    const __m256i alphaBytes = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    result = _mm256_or_si256(_mm256_andnot_si256(alphaBytes, result),
                             _mm256_and_si256(alphaBytes, _mm256_adds_epu8(s, d)));
  }
  if constexpr (kMasked) {
    result = _mm256_or_si256(_mm256_and_si256(result, writeMask),
                             _mm256_andnot_si256(writeMask, d));
  }
  return result;
}

}  // namespace

template <AlphaRule kRule, bool kMasked>
void OverKernels::avx2(const WordBlend& blend, const std::uint32_t* source, int count,
                       std::uint32_t* target) {
  const WordBlend::OverMasks& om = blend.masks_;
  Avx2Masks m{};
  for (int i = 0; i < 3; ++i) {
    m.source[i] = _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i*>(om.source[i])));
    m.dest[i] = _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i*>(om.dest[i])));
  }
  const __m256i writeMask = _mm256_set1_epi32(static_cast<int>(blend.writeMask_));
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(target + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + i),
                        overPixels256<kRule, kMasked>(s, d, m, writeMask));
  }
  sse2<kRule, kMasked>(blend, source + i, count - i, target + i);
}

WordBlend::Kernel WordBlend::overKernel(AlphaRule rule, bool masked, VectorWidth width) {
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  const bool avx2 = hasAvx2 && width == VectorWidth::Widest;
  static constexpr Kernel kSse2[3][2] = {
      {&OverKernels::sse2<AlphaRule::LikeColour, false>, &OverKernels::sse2<AlphaRule::LikeColour, true>},
      {&OverKernels::sse2<AlphaRule::Sum, false>, &OverKernels::sse2<AlphaRule::Sum, true>},
      {&OverKernels::sse2<AlphaRule::Masks, false>, &OverKernels::sse2<AlphaRule::Masks, true>}};
  static constexpr Kernel kAvx2[3][2] = {
      {&OverKernels::avx2<AlphaRule::LikeColour, false>, &OverKernels::avx2<AlphaRule::LikeColour, true>},
      {&OverKernels::avx2<AlphaRule::Sum, false>, &OverKernels::avx2<AlphaRule::Sum, true>},
      {&OverKernels::avx2<AlphaRule::Masks, false>, &OverKernels::avx2<AlphaRule::Masks, true>}};
  const auto r = static_cast<std::size_t>(rule);
  return (avx2 ? kAvx2 : kSse2)[r][masked ? 1 : 0];
}

}  // namespace swd3d::raster
