#include "image/pixel_access.h"

#include "draw/blend_modes.h"
#include "draw/quad_renderer.h"
#include "draw/target_clear.h"
#include "host/failure.h"
#include "host/host_link.h"
#include "image/image_lock.h"

#include <cstdint>

using namespace tessaly;

namespace {

// Coordinates outside the image are no error: the command does nothing.
bool inside(const ImageLock& lock, int x, int y) {
  return x >= 0 && y >= 0 && static_cast<UINT>(x) < lock.desc.Width &&
         static_cast<UINT>(y) < lock.desc.Height;
}

// The 1 x 1 rectangle of pixel (x, y), which lies inside the image.
RECT pixelArea(int x, int y) {
  return {static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x) + 1,
          static_cast<LONG>(y) + 1};
}

std::uint8_t* lockedPixel(const ImageLock& lock) {
  return static_cast<std::uint8_t*>(lock.lockedRect.pBits);
}

// A render target cannot be locked: the colour is cleared into a 1 x 1
// texture, which is drawn onto the pixel with replace blending and point
// sampling, so the colour lands exactly, alpha included, whatever the user's
// blend mode and filters are.
void drawPixel(const ImageLock& lock, int x, int y, D3DCOLOR colour) {
  IDirect3DDevice9* device = hostLink.getDirect3DDevice();
  ImageLock dot;
  dot.makeInternal(1, 1);
  clearRenderTarget(device, dot.surface, colour);
  applyBlendMode(device, kPixelWriteBlendMode);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
  device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
  const auto left = static_cast<float>(x);
  const auto top = static_cast<float>(y);
  drawQuad(device, lock.surface, dot.texture, imageCorners(left, top, left + 1.0f, top + 1.0f));
  dot.releaseSurface();
  dot.texture->Release();
}

}  // namespace

// 0 for a pixel outside the image, as for a pixel whose value is 0.
extern "C" DWORD GetImagePixel(DWORD image, int x, int y) {
  ImageLock lock;
  if (!lock.openImage(static_cast<int>(image))) return 0;
  if (!inside(lock, x, y)) return 0;
  if (!lock.isPlain()) fatalError("TS Point does not work on target images.", "TS Point - Error");
  const RECT area = pixelArea(x, y);
  lock.lock(&area);
  const std::uint32_t word = loadPixel(lockedPixel(lock));
  lock.unlockAndRelease();
  return word;
}

// The colour replaces the pixel, alpha included. Render targets are drawn
// into; every other image, whose surface can be locked, is written in memory
// (drawing into a surface that is no render target would draw nothing).
extern "C" void SetImagePixel(DWORD image, int x, int y, DWORD colour) {
  ImageLock lock;
  if (!lock.openImage(static_cast<int>(image))) return;
  if (!inside(lock, x, y)) return;
  if (lock.isRenderTarget()) {
    drawPixel(lock, x, y, colour);
    lock.releaseSurface();
    return;
  }
  const RECT area = pixelArea(x, y);
  lock.lock(&area);
  storePixel(lockedPixel(lock), colour);
  lock.unlockAndRelease();
}
