// The stepped samplers for runs inside the texture: scalar ones for every
// processor, and ones that take four pixels a step in AVX2, only for
// processors that have it, with the same texels and bytes.
#pragma once

#include "d3d9/raster/texture_sampler.h"

namespace swd3d::raster {

void pointStepped(const SamplerView& view, const TexelSteps& steps, int count,
                  std::uint32_t* out);
void linearStepped(const SamplerView& view, const TexelSteps& steps, int count,
                   std::uint32_t* out);
void pointSteppedAvx2(const SamplerView& view, const TexelSteps& steps, int count,
                      std::uint32_t* out);
void linearSteppedAvx2(const SamplerView& view, const TexelSteps& steps, int count,
                       std::uint32_t* out);

}  // namespace swd3d::raster
