#include "d3d9/raster/span_interpolation.h"

#include "d3d9/raster/vector_lanes.h"

namespace swd3d::raster {

SWD3D_VECTOR_CLONES void interpolateSpan(double start, double step, int count, float* out) {
  for (int i = 0; i < count; ++i) out[i] = static_cast<float>(start + step * i);
}

}  // namespace swd3d::raster
