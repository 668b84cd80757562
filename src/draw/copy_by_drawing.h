// Copying a texture into a render target by drawing it: the one way pixels
// reach a render target, which cannot be locked.
#pragma once

#include "host/d3d9_api.h"

namespace tessaly {

// Draws the whole texture onto target from (left, top) to (right, bottom) with
// replace blending and point sampling clamped at the edges, so that the
// texels land exactly, alpha included, whatever the user's draw state holds.
// The blend factors and sampler states stay on the device afterwards.
void copyByDrawing(IDirect3DDevice9* device, IDirect3DSurface9* target,
                   IDirect3DTexture9* texture, float left, float top, float right, float bottom);

}  // namespace tessaly
