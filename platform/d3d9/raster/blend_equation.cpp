#include "d3d9/raster/blend_equation.h"

#include "d3d9/raster/span_colours.h"
#include "d3d9/raster/unorm8.h"
#include "d3d9/raster/vector_lanes.h"

#include <algorithm>

namespace swd3d::raster {

namespace {

// The span works channel by channel over arrays, each choice of factor or
// operation made once per channel and span, so every loop is one vector
// operation, built for several vector widths. Each pixel's arithmetic is the same as one pixel at a time:
// factor, two products, one sum, saturated and rounded once.
using Lanes = float[kShaderSpanPixels];

// One channel of the span: its source and destination values, and the
// source and destination alpha.
struct ChannelSpan {
  const float* source;
  const float* sourceAlpha;
  const float* dest;
  const float* destAlpha;
  float constant;
  bool isAlpha;
};

[[gnu::always_inline]] inline void fill(int n, float value, float* out) {
  for (int i = 0; i < n; ++i) out[i] = value;
}

[[gnu::always_inline]] inline void inverse(int n, const float* values, float* out) {
  for (int i = 0; i < n; ++i) out[i] = 1.0f - values[i];
}

// The factor of every pixel: `out` when computed, or the channel array it
// equals.
[[gnu::always_inline]] inline const float* factorLanes(BlendFactor factor, const ChannelSpan& in, int n, float* out) {
  switch (factor) {
    case BlendFactor::Zero: fill(n, 0.0f, out); return out;
    case BlendFactor::One: fill(n, 1.0f, out); return out;
    case BlendFactor::SrcColour: return in.source;
    case BlendFactor::InvSrcColour: inverse(n, in.source, out); return out;
    case BlendFactor::SrcAlpha: return in.sourceAlpha;
    case BlendFactor::InvSrcAlpha: inverse(n, in.sourceAlpha, out); return out;
    case BlendFactor::DestAlpha: return in.destAlpha;
    case BlendFactor::InvDestAlpha: inverse(n, in.destAlpha, out); return out;
    case BlendFactor::DestColour: return in.dest;
    case BlendFactor::InvDestColour: inverse(n, in.dest, out); return out;
    case BlendFactor::SrcAlphaSat:
      if (in.isAlpha) {
        fill(n, 1.0f, out);
      } else {
        for (int i = 0; i < n; ++i) out[i] = std::min(in.sourceAlpha[i], 1.0f - in.destAlpha[i]);
      }
      return out;
    case BlendFactor::Constant: fill(n, in.constant, out); return out;
    case BlendFactor::InvConstant: fill(n, 1.0f - in.constant, out); return out;
  }
  fill(n, 0.0f, out);
  return out;
}

[[gnu::always_inline]] inline void blendChannel(BlendFactor srcFactor, BlendFactor destFactor, BlendOp op,
                  const ChannelSpan& in, int n, float* out) {
  const float* s = in.source;
  const float* d = in.dest;
  switch (op) {
    case BlendOp::Min:
      for (int i = 0; i < n; ++i) out[i] = std::min(s[i], d[i]);
      return;
    case BlendOp::Max:
      for (int i = 0; i < n; ++i) out[i] = std::max(s[i], d[i]);
      return;
    default: break;
  }
  alignas(64) Lanes sourceLanes;
  alignas(64) Lanes destLanes;
  const float* fs = factorLanes(srcFactor, in, n, sourceLanes);
  const float* fd = factorLanes(destFactor, in, n, destLanes);
  switch (op) {
    case BlendOp::Add:
      for (int i = 0; i < n; ++i) out[i] = s[i] * fs[i] + d[i] * fd[i];
      return;
    case BlendOp::Subtract:
      for (int i = 0; i < n; ++i) out[i] = s[i] * fs[i] - d[i] * fd[i];
      return;
    case BlendOp::RevSubtract:
      for (int i = 0; i < n; ++i) out[i] = d[i] * fd[i] - s[i] * fs[i];
      return;
    default: fill(n, 0.0f, out); return;
  }
}

// Four channels (blue, green, red, alpha) packed into the target's words;
// only the write mask's bits change.
[[gnu::always_inline]] inline void store(const float* const (&channels)[4], int n, std::uint32_t writeMask,
           std::uint32_t* target) {
  const std::uint32_t keep = ~writeMask;
  const float* b = channels[0];
  const float* g = channels[1];
  const float* r = channels[2];
  const float* a = channels[3];
  int i = 0;
  for (; i + lanes::kLanes <= n; i += lanes::kLanes) {
    using lanes::loadFloats;
    using lanes::unorm8;
    const lanes::Words word = unorm8(loadFloats(b + i)) | unorm8(loadFloats(g + i)) << 8 |
                              unorm8(loadFloats(r + i)) << 16 | unorm8(loadFloats(a + i)) << 24;
    // With every bit written the target need not be read.
    lanes::storeWords(target + i, keep == 0 ? word
                                            : (word & writeMask) |
                                                  (lanes::loadWords(target + i) & keep));
  }
  for (; i < n; ++i) {
    const std::uint32_t word = std::uint32_t{toUnorm8(b[i])} | std::uint32_t{toUnorm8(g[i])} << 8 |
                               std::uint32_t{toUnorm8(r[i])} << 16 |
                               std::uint32_t{toUnorm8(a[i])} << 24;
    target[i] = (word & writeMask) | (target[i] & keep);
  }
}

// Source × 1 + destination × 0 is the source: its byte is the source's, so
// the destination need not be read.
bool copiesSource(BlendFactor srcFactor, BlendFactor destFactor, BlendOp op) {
  return op == BlendOp::Add && srcFactor == BlendFactor::One && destFactor == BlendFactor::Zero;
}

}  // namespace

bool blendCopiesSource(const BlendSettings& blend) {
  return !blend.enabled || (copiesSource(blend.srcColour, blend.destColour, blend.colourOp) &&
                            copiesSource(blend.srcAlpha, blend.destAlpha, blend.alphaOp));
}

SWD3D_VECTOR_CLONES void blendSpan(const BlendSettings& blend, const SpanColours& source, int count,
               std::uint32_t* target) {
  const int n = std::clamp(count, 0, kShaderSpanPixels);
  if (blendCopiesSource(blend)) {
    store({source.b, source.g, source.r, source.a}, n, blend.writeMask, target);
    return;
  }
  SpanColours dest;
  unpackColours(target, n, dest);
  const float* sources[4] = {source.b, source.g, source.r, source.a};
  const float* dests[4] = {dest.b, dest.g, dest.r, dest.a};
  const int shifts[4] = {kBlueShift, kGreenShift, kRedShift, kAlphaShift};
  SpanColours result;
  float* results[4] = {result.b, result.g, result.r, result.a};
  for (int c = 0; c < 4; ++c) {
    const bool isAlpha = c == 3;
    const ChannelSpan in{sources[c], source.a, dests[c], dest.a,
                         fromUnorm8(channel(blend.constant, shifts[c])), isAlpha};
    if (isAlpha) {
      blendChannel(blend.srcAlpha, blend.destAlpha, blend.alphaOp, in, n, results[c]);
    } else {
      blendChannel(blend.srcColour, blend.destColour, blend.colourOp, in, n, results[c]);
    }
  }
  store({result.b, result.g, result.r, result.a}, n, blend.writeMask, target);
}

}  // namespace swd3d::raster
