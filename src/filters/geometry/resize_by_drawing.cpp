#include "filters/geometry/resize_by_drawing.h"

#include "draw/blend_modes.h"
#include "draw/quad_renderer.h"
#include "draw/sampler_states.h"
#include "host/failure.h"
#include "host/host_link.h"
#include "image/internal_texture.h"

namespace tessaly {

namespace {

// Mode 0 samples the nearest texel, mode 1 interpolates; any other mode
// scales with whatever filters the device holds.
void applyResizeSampling(IDirect3DDevice9* device, DWORD mode) {
  if (mode > 1) return;
  const DWORD filter = mode == 0 ? D3DTEXF_POINT : D3DTEXF_LINEAR;
  applySamplerStates(device, filter, filter, D3DTEXF_NONE, D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP);
}

void drawWhole(IDirect3DDevice9* device, IDirect3DSurface9* target, IDirect3DTexture9* texture, UINT width,
               UINT height) {
  applyBlendMode(device, kCopyBlendMode);
  drawQuad(device, target, texture, imageCorners(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)));
}

}  // namespace

void resizeByDrawing(ImageLock& lock, int image, DWORD width, DWORD height, DWORD mode) {
  IDirect3DDevice9* device = hostLink.getDirect3DDevice();
  device->SetPixelShader(nullptr);  // an effect's shader would colour the copies
  const UINT oldWidth = lock.desc.Width;
  const UINT oldHeight = lock.desc.Height;
  const InternalTexture internal(oldWidth, oldHeight);
  applyResizeSampling(device, mode);

  // The old pixels are kept in the internal texture at their own size (a
  // same-size quad lands texel for pixel with either filter) while the image
  // is made again at its new size under its number.
  drawWhole(device, internal.surface(), lock.texture, oldWidth, oldHeight);
  lock.releaseSurface();
  if (!lock.makeTargetImage(image, static_cast<int>(width), static_cast<int>(height))) {
    fatalError("Could not create a new texture while resizing.", "Error");
  }
  drawWhole(device, lock.surface, internal.texture(), width, height);

  lock.releaseSurface();
}

}  // namespace tessaly
