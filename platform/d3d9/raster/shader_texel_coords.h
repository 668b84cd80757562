// The texel coordinates of a program's tex2D lookups: each coordinate (in 0
// to 1 units) times the texture's size, as 32.32 fixed point exactly as
// toFixedTexels gives it, a span at a time. Where the coordinates turn out to
// step evenly (as they do for interpolated texture coordinates on a quad)
// the stepped kernels can sample them.
#pragma once

#include "d3d9/raster/texture_sampler.h"

#include <optional>

namespace swd3d::raster {

// out[i] = toFixedTexels(coords[i] × size, mode, size) for 0 <= i < count;
// returns evenlyStepped(out, count). AVX-512 where the processor has it (F,
// DQ and VL) unless `widest` is false, so tests can check both.
bool fixedTexelSpan(const float* coords, int count, int size, AddressMode mode,
                    std::int64_t* out, bool widest = true);

// The same for coords[i] = (float)(start + step × i), without the floats:
// the coordinates the rasteriser interpolates along a span.
bool fixedTexelSpan(double start, double step, int count, int size, AddressMode mode,
                    std::int64_t* out, bool widest = true);

// Where every coordinate (float)(start + step × i) of a span of `count` is
// exactly start + step × i and a whole number of 2^-32 texels within the
// range toFixedTexels takes as it is, the span's fixed point is the first
// pixel's value plus the step's times i, with no rounding anywhere:
// returns those two, as fixedTexelSpan would find them, without a pass over
// the pixels. Nothing otherwise.
struct FixedSteps {
  std::int64_t first;
  std::int64_t step;
};
std::optional<FixedSteps> exactFixedSteps(double start, double step, int count, int size);

// Whether values[i] = values[0] + i × (values[1] - values[0]) for every i.
bool evenlyStepped(const std::int64_t* values, int count);

}  // namespace swd3d::raster
