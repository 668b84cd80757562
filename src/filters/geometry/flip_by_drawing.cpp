#include "filters/geometry/flip_by_drawing.h"

#include "draw/blend_modes.h"
#include "draw/copy_by_drawing.h"
#include "draw/quad_renderer.h"
#include "draw/sampler_states.h"
#include "host/host_link.h"
#include "image/internal_texture.h"

namespace tessaly {

namespace {

// The quad's corners for each direction, by FlipDirection: the image's
// top-left texel goes to the corner that the flip sends it to. Texture
// coordinates run (0, 0), (1, 0), (1, 1), (0, 1) as always.
QuadCorners mirroredCorners(FlipDirection direction, float w, float h) {
  switch (direction) {
    case FlipDirection::horizontal:
      return {{{w, 0, kOpaqueWhite, 0, 0}, {0, 0, kOpaqueWhite, 1, 0}, {0, h, kOpaqueWhite, 1, 1}, {w, h, kOpaqueWhite, 0, 1}}};
    case FlipDirection::vertical:
      return {{{0, h, kOpaqueWhite, 0, 0}, {w, h, kOpaqueWhite, 1, 0}, {w, 0, kOpaqueWhite, 1, 1}, {0, 0, kOpaqueWhite, 0, 1}}};
    case FlipDirection::both:
      break;
  }
  return {{{w, h, kOpaqueWhite, 0, 0}, {0, h, kOpaqueWhite, 1, 0}, {0, 0, kOpaqueWhite, 1, 1}, {w, 0, kOpaqueWhite, 0, 1}}};
}

}  // namespace

void flipByDrawing(ImageLock& lock, FlipDirection direction) {
  const InternalTexture internal(lock.desc.Width, lock.desc.Height);
  IDirect3DDevice9* device = hostLink.getDirect3DDevice();
  const float w = static_cast<float>(lock.desc.Width);
  const float h = static_cast<float>(lock.desc.Height);

  // Point sampling, clamped, with replace blending: a mirrored quad of the
  // image's own size is an exact permutation of its texels.
  applyBlendMode(device, kCopyBlendMode);
  applySamplerStates(device, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP);
  drawQuad(device, internal.surface(), lock.texture, mirroredCorners(direction, w, h));
  copyByDrawing(device, lock.surface, internal.texture(), 0.0f, 0.0f, w, h);

  lock.releaseSurface();
}

}  // namespace tessaly
