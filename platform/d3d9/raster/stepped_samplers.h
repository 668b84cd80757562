// The stepped samplers for runs inside the texture: scalar ones for every
// processor, ones that take four pixels a step in AVX2 and a linear one that
// takes eight in AVX-512, only for processors that have them, with the same
// texels and bytes.
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
void linearSteppedAvx512(const SamplerView& view, const TexelSteps& steps, int count,
                         std::uint32_t* out);

}  // namespace swd3d::raster
