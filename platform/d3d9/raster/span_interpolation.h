// An attribute along a span of a row: out[i] = start + step × i, in double,
// rounded once to float.
#pragma once

namespace swd3d::raster {

void interpolateSpan(double start, double step, int count, float* out);

}  // namespace swd3d::raster
