// Filling a render target with one colour through the device.
#pragma once

#include "host/d3d9_api.h"

namespace tessaly {

// Binds the surface as render target 0 and clears it to the colour, alpha
// included. Nothing is cleared when the surface cannot be bound: the clear
// would otherwise wipe whatever surface the device still has (the screen).
// The surface stays bound; callers bind the host's screen again when done.
inline void clearRenderTarget(IDirect3DDevice9* device, IDirect3DSurface9* surface,
                              D3DCOLOR colour) {
  if (FAILED(device->SetRenderTarget(0, surface))) return;
  device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 0.0f, 0);
}

}  // namespace tessaly
