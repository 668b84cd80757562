#include "d3d9/raster/exact_interpolation.h"

#include "d3d9/raster/float_bits.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace swd3d::raster {

bool interpolatesExactly(const AttributePlane& plane, const PlaneOrigin& origin,
                         const ClipRect& clip, int step) {
  const double values[5] = {plane.at0, plane.dx, plane.dy, origin.x0, origin.y0};
  for (const double value : values) {
    if (!std::isfinite(value)) return false;
  }
  // Each term is a whole multiple of 2^bit; a sum or product of such terms
  // is exact while it stays below 2^52 of its grid (one bit kept spare for
  // the rounding of the bounds computed here).
  const auto bit = [](double value) { return value != 0.0 ? lowestBit(value) : INT_MAX; };
  const auto below = [](double magnitude, int grid) {
    return grid >= 970 || magnitude < std::ldexp(1.0, std::max(grid, -1000) + 52);
  };
  const int pixelGrid = std::min({0, bit(origin.x0), bit(origin.y0)});
  const double across = std::max(std::fabs(clip.left - origin.x0),
                                 std::fabs(clip.right + step - origin.x0));
  const double down = std::max(std::fabs(clip.top - origin.y0), std::fabs(clip.bottom - origin.y0));
  if (!below(across, pixelGrid) || !below(down, pixelGrid)) return false;
  const double xTerm = std::fabs(plane.dx) * across;
  const double yTerm = std::fabs(plane.dy) * down;
  const int xGrid = plane.dx != 0.0 ? bit(plane.dx) + pixelGrid : INT_MAX;
  const int yGrid = plane.dy != 0.0 ? bit(plane.dy) + pixelGrid : INT_MAX;
  if (!below(xTerm, xGrid) || !below(yTerm, yGrid)) return false;
  const int sumGrid = std::min({bit(plane.at0), xGrid, yGrid});
  return below(std::fabs(plane.at0) + xTerm + yTerm, sumGrid);
}

}  // namespace swd3d::raster
