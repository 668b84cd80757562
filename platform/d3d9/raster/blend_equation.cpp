#include "d3d9/raster/blend_equation.h"

#include "d3d9/raster/unorm8.h"

#include <algorithm>

namespace swd3d::raster {

namespace {

// One channel's inputs: source, destination and blend-constant values, and
// the source and destination alpha.
struct ChannelInputs {
  float source;
  float sourceAlpha;
  float dest;
  float destAlpha;
  float constant;
  bool isAlpha;
};

float factorValue(BlendFactor factor, const ChannelInputs& in) {
  switch (factor) {
    case BlendFactor::Zero: return 0.0f;
    case BlendFactor::One: return 1.0f;
    case BlendFactor::SrcColour: return in.source;
    case BlendFactor::InvSrcColour: return 1.0f - in.source;
    case BlendFactor::SrcAlpha: return in.sourceAlpha;
    case BlendFactor::InvSrcAlpha: return 1.0f - in.sourceAlpha;
    case BlendFactor::DestAlpha: return in.destAlpha;
    case BlendFactor::InvDestAlpha: return 1.0f - in.destAlpha;
    case BlendFactor::DestColour: return in.dest;
    case BlendFactor::InvDestColour: return 1.0f - in.dest;
    case BlendFactor::SrcAlphaSat:
      return in.isAlpha ? 1.0f : std::min(in.sourceAlpha, 1.0f - in.destAlpha);
    case BlendFactor::Constant: return in.constant;
    case BlendFactor::InvConstant: return 1.0f - in.constant;
  }
  return 0.0f;
}

float blendChannel(BlendFactor srcFactor, BlendFactor destFactor, BlendOp op,
                   const ChannelInputs& in) {
  switch (op) {
    case BlendOp::Min: return std::min(in.source, in.dest);
    case BlendOp::Max: return std::max(in.source, in.dest);
    default: break;
  }
  const float source = in.source * factorValue(srcFactor, in);
  const float dest = in.dest * factorValue(destFactor, in);
  switch (op) {
    case BlendOp::Add: return source + dest;
    case BlendOp::Subtract: return source - dest;
    case BlendOp::RevSubtract: return dest - source;
    default: return 0.0f;
  }
}

}  // namespace

void blendSpan(const BlendSettings& blend, const SpanColours& source, int count,
               std::uint32_t* target) {
  const std::uint32_t keep = ~blend.writeMask;
  const float constant[4] = {fromUnorm8(channel(blend.constant, kBlueShift)),
                             fromUnorm8(channel(blend.constant, kGreenShift)),
                             fromUnorm8(channel(blend.constant, kRedShift)),
                             fromUnorm8(channel(blend.constant, kAlphaShift))};
  for (int i = 0; i < count; ++i) {
    const std::uint32_t old = target[i];
    const float in[4] = {source.b[i], source.g[i], source.r[i], source.a[i]};
    std::uint32_t result = 0;
    for (int c = 0; c < 4; ++c) {
      const bool isAlpha = c == 3;
      float value = in[c];
      if (blend.enabled) {
        const ChannelInputs inputs{in[c],
                                   source.a[i],
                                   fromUnorm8(channel(old, 8 * c)),
                                   fromUnorm8(channel(old, kAlphaShift)),
                                   constant[c],
                                   isAlpha};
        value = isAlpha ? blendChannel(blend.srcAlpha, blend.destAlpha, blend.alphaOp, inputs)
                        : blendChannel(blend.srcColour, blend.destColour, blend.colourOp, inputs);
      }
      result |= std::uint32_t{toUnorm8(value)} << (8 * c);
    }
    target[i] = (result & blend.writeMask) | (old & keep);
  }
}

}  // namespace swd3d::raster
