// The surface formats the software device stores, and their pixel sizes.
#pragma once

#include "d3d9/d3d9.h"

namespace swd3d {

inline bool isColourFormat(D3DFORMAT format) { return format == D3DFMT_A8R8G8B8; }

inline bool isDepthStencilFormat(D3DFORMAT format) {
  return format == D3DFMT_D24S8 || format == D3DFMT_D16;
}

inline UINT bytesPerPixel(D3DFORMAT format) { return format == D3DFMT_D16 ? 2u : 4u; }

}  // namespace swd3d
