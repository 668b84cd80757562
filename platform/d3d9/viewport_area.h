// The pixels of a viewport that lie on a surface of the given size: what
// Clear reaches and where draws are clipped.
#pragma once

#include "d3d9/d3d9.h"
#include "d3d9/surface_memory.h"

#include <algorithm>
#include <cstdint>

namespace swd3d {

// Right and bottom exclusive; empty (left >= right) when nothing is left.
inline SurfaceArea viewportArea(const D3DVIEWPORT9& viewport, UINT width, UINT height) {
  const auto limit = [](std::uint64_t value, UINT size) {
    return static_cast<UINT>(std::min<std::uint64_t>(value, size));
  };
  return {limit(viewport.X, width), limit(viewport.Y, height),
          limit(std::uint64_t{viewport.X} + viewport.Width, width),
          limit(std::uint64_t{viewport.Y} + viewport.Height, height)};
}

}  // namespace swd3d
