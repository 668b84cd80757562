// Colours of a span of pixels as four float channels in Direct3D's 0 to 1
// units: what texture stages and pixel-shader programs compute with.
#pragma once

#include "d3d9/pixel_shader_program.h"

#include <cstdint>

namespace swd3d::raster {

using SpanColours = ShaderColours;

// Bytes of A8R8G8B8 words as channels (v / 255).
void unpackColours(const std::uint32_t* words, int count, SpanColours& out);

// Every channel limited to [0, 1]; NaN becomes 0.
void saturateColours(int count, SpanColours& colours);

}  // namespace swd3d::raster
