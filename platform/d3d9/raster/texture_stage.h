// Texture stage 0 of the fixed-function pipeline: each of colour and alpha
// selects one argument or multiplies two, from the texel and the diffuse
// colour (stage 0's "current"), and the result is saturated.
#pragma once

#include "d3d9/raster/draw_settings.h"
#include "d3d9/raster/span_colours.h"

namespace swd3d::raster {

// Whether the stage reads the texture at all.
bool stageReadsTexture(const StageSettings& stage);

void applyStage(const StageSettings& stage, const SpanColours& texture,
                const SpanColours& diffuse, int count, SpanColours& out);

}  // namespace swd3d::raster
