#include "d3d9/raster/span_colours.h"

#include "d3d9/raster/unorm8.h"
#include "d3d9/raster/vector_lanes.h"

namespace swd3d::raster {

SWD3D_VECTOR_CLONES void unpackColours(const std::uint32_t* words, int count, SpanColours& out) {
  int i = 0;
  for (; i + lanes::kLanes <= count; i += lanes::kLanes) {
    const lanes::Words word = lanes::loadWords(words + i);
    lanes::storeFloats(out.a + i, lanes::fromUnorm8(word, kAlphaShift));
    lanes::storeFloats(out.r + i, lanes::fromUnorm8(word, kRedShift));
    lanes::storeFloats(out.g + i, lanes::fromUnorm8(word, kGreenShift));
    lanes::storeFloats(out.b + i, lanes::fromUnorm8(word, kBlueShift));
  }
  for (; i < count; ++i) {
    const std::uint32_t word = words[i];
    out.a[i] = fromUnorm8(channel(word, kAlphaShift));
    out.r[i] = fromUnorm8(channel(word, kRedShift));
    out.g[i] = fromUnorm8(channel(word, kGreenShift));
    out.b[i] = fromUnorm8(channel(word, kBlueShift));
  }
}

SWD3D_VECTOR_CLONES void saturateColours(int count, SpanColours& colours) {
  // NaN fails `> 0` and becomes 0.
  const auto saturate = [](float value) {
    const float low = value > 0.0f ? value : 0.0f;
    return low < 1.0f ? low : 1.0f;
  };
  const lanes::Floats zero{};
  const lanes::Floats one = lanes::splat(1.0f);
  for (float* values : {colours.r, colours.g, colours.b, colours.a}) {
    int i = 0;
    for (; i + lanes::kLanes <= count; i += lanes::kLanes) {
      const lanes::Floats value = lanes::loadFloats(values + i);
      const lanes::Floats low = value > zero ? value : zero;
      lanes::storeFloats(values + i, low < one ? low : one);
    }
    for (; i < count; ++i) values[i] = saturate(values[i]);
  }
}

}  // namespace swd3d::raster
