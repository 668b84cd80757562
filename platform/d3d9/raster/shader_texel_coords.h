// The texel coordinates of a program's tex2D lookups: each coordinate (in 0
// to 1 units) times the texture's size, as 32.32 fixed point exactly as
// toFixedTexels gives it, a span at a time. Where the coordinates turn out to
// step evenly (as they do for interpolated texture coordinates on a quad)
// the stepped kernels can sample them.
#pragma once

#include "d3d9/raster/texture_sampler.h"

namespace swd3d::raster {

// out[i] = toFixedTexels(coords[i] × size, mode, size) for 0 <= i < count.
// AVX-512 where the processor has it (F and DQ) unless `widest` is false,
// so tests can check both.
void fixedTexelSpan(const float* coords, int count, int size, AddressMode mode,
                    std::int64_t* out, bool widest = true);

// Whether values[i] = values[0] + i × (values[1] - values[0]) for every i.
bool evenlyStepped(const std::int64_t* values, int count);

}  // namespace swd3d::raster
