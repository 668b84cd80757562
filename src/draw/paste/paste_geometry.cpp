#include "draw/paste/paste_geometry.h"

#include <cmath>

namespace tessaly {

QuadCorners positionedCorners(std::int32_t x, std::int32_t y, std::uint32_t width,
                              std::uint32_t height) {
  const std::int64_t right = std::int64_t{x} + width;
  const std::int64_t bottom = std::int64_t{y} + height;
  return imageCorners(static_cast<float>(x), static_cast<float>(y), static_cast<float>(right),
                      static_cast<float>(bottom));
}

QuadCorners stretchedCorners(std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom) {
  return imageCorners(static_cast<float>(left), static_cast<float>(top),
                      static_cast<float>(right), static_cast<float>(bottom));
}

QuadCorners rotatedCorners(std::int32_t x, std::int32_t y, std::uint32_t width,
                           std::uint32_t height, float angle, float shift) {
  // The single-precision value nearest pi / 180.
  const float theta = angle * 0.017453292f;
  const float hw = static_cast<float>(width) * 0.5f;
  const float hh = static_cast<float>(height) * 0.5f;
  const float cx = static_cast<float>(x) + 0.5f;
  const float cy = static_cast<float>(y) + 0.5f;
  const float co = std::cos(theta);
  const float si = std::sin(theta);
  // A corner's offset (p, q) from the centre turns to (p co - q si, p si + q co).
  return {{{cx - co * hw + si * hh - shift, cy - si * hw - co * hh - shift, kOpaqueWhite, 0, 0},
           {cx + co * hw + si * hh - shift, cy + si * hw - co * hh - shift, kOpaqueWhite, 1, 0},
           {cx + co * hw - si * hh - shift, cy + si * hw + co * hh - shift, kOpaqueWhite, 1, 1},
           {cx - co * hw - si * hh - shift, cy - si * hw + co * hh - shift, kOpaqueWhite, 0, 1}}};
}

}  // namespace tessaly
