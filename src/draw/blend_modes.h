// Blend modes on the device: the render states each of the 20 blend mode
// numbers stands for when an image is drawn as a quad.
#pragma once

#include "host/d3d9_api.h"

namespace tessaly {

// Mode 20 and mode 19 both replace the destination, alpha included: the
// copies through a quad use 20, the pixel write into a render target 19.
inline constexpr DWORD kCopyBlendMode = 20;
inline constexpr DWORD kPixelWriteBlendMode = 19;

// Sets the blend operation to add, then the render states of the mode's
// group. Mode 0 and modes above 20 set nothing more; the modes that only the
// in-memory paste knows (3, 5, 7 to 14) set nothing more either.
void applyBlendMode(IDirect3DDevice9* device, DWORD mode);

}  // namespace tessaly
