#include "d3d9/raster/span_colours.h"

#include "d3d9/raster/unorm8.h"

#include <algorithm>

namespace swd3d::raster {

void unpackColours(const std::uint32_t* words, int count, SpanColours& out) {
  for (int i = 0; i < count; ++i) {
    const std::uint32_t word = words[i];
    out.a[i] = fromUnorm8(channel(word, kAlphaShift));
    out.r[i] = fromUnorm8(channel(word, kRedShift));
    out.g[i] = fromUnorm8(channel(word, kGreenShift));
    out.b[i] = fromUnorm8(channel(word, kBlueShift));
  }
}

void saturateColours(int count, SpanColours& colours) {
  // max(0, NaN) is 0 with the operands in this order.
  const auto saturate = [](float value) { return std::min(std::max(value, 0.0f), 1.0f); };
  for (float* channelValues : {colours.r, colours.g, colours.b, colours.a}) {
    for (int i = 0; i < count; ++i) channelValues[i] = saturate(channelValues[i]);
  }
}

}  // namespace swd3d::raster
