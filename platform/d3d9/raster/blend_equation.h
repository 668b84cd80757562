// The Direct3D 9 blend equation on a span: each channel of the target becomes
// op(source × source factor, destination × destination factor), colour and
// alpha with their own factors and operations, saturated and rounded once to
// 8 bits; MIN and MAX ignore the factors. With blending off the source
// replaces the pixel. Only the bits of the write mask change.
#pragma once

#include "d3d9/raster/draw_settings.h"
#include "d3d9/raster/span_colours.h"

#include <cstdint>

namespace swd3d::raster {

// Whether the blend writes each source channel as it is (blending off, or
// source × 1 + destination × 0): then saturating the source first changes
// no byte.
bool blendCopiesSource(const BlendSettings& blend);

// `source` holds saturated channels.
void blendSpan(const BlendSettings& blend, const SpanColours& source, int count,
               std::uint32_t* target);

}  // namespace swd3d::raster
