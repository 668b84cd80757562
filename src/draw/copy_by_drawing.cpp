#include "draw/copy_by_drawing.h"

#include "draw/blend_modes.h"
#include "draw/quad_renderer.h"
#include "draw/sampler_states.h"

namespace tessaly {

void copyByDrawing(IDirect3DDevice9* device, IDirect3DSurface9* target,
                   IDirect3DTexture9* texture, float left, float top, float right, float bottom) {
  applyBlendMode(device, kCopyBlendMode);
  applySamplerStates(device, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP,
                     D3DTADDRESS_CLAMP);
  drawQuad(device, target, texture, imageCorners(left, top, right, bottom));
}

}  // namespace tessaly
