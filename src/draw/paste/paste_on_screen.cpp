// The commands that paste an image onto the host's screen surface, whatever
// render target the host has bound. Each tests the effect number and slot
// (effect forms), then opens the image, draws and gives its surface back.
// Every blend mode draws, 0 included.
#include "draw/paste/paste_commands.h"
#include "draw/paste/paste_drawing.h"
#include "draw/paste/paste_geometry.h"
#include "effects/effect_slots.h"
#include "host/host_link.h"
#include "image/image_lock.h"

using namespace tessaly;

namespace {

// draw(device, screen, source) with the image open.
template <class Draw>
void pasteOntoScreen(int image, Draw draw) {
  ImageLock source;
  if (!source.openImage(image)) return;
  draw(hostDevice(), hostScreenSurface(), source);
  source.releaseSurface();
}

}  // namespace

extern "C" void PasteImageRotated(int image, int cx, int cy, float angle) {
  pasteOntoScreen(image, [&](IDirect3DDevice9* device, IDirect3DSurface9* screen,
                             const ImageLock& source) {
    pasteQuad(device, screen, source.texture,
              rotatedCorners(cx, cy, source.desc.Width, source.desc.Height, angle, kOnScreenShift));
  });
}

extern "C" void PasteImageRotatedFX(int image, int cx, int cy, float angle, int effect) {
  const EffectSlot* slot = loadedEffectSlot(effect);
  if (slot == nullptr) return;
  pasteOntoScreen(image, [&](IDirect3DDevice9* device, IDirect3DSurface9* screen,
                             const ImageLock& source) {
    pasteQuadThroughEffect(
        device, *slot, screen, source.texture,
        rotatedCorners(cx, cy, source.desc.Width, source.desc.Height, angle, kOnScreenShift));
  });
}

extern "C" void PasteImageFX(int image, int x, int y, int effect) {
  const EffectSlot* slot = loadedEffectSlot(effect);
  if (slot == nullptr) return;
  pasteOntoScreen(image, [&](IDirect3DDevice9* device, IDirect3DSurface9* screen,
                             const ImageLock& source) {
    pasteQuadThroughEffect(device, *slot, screen, source.texture,
                           positionedCorners(x, y, source.desc.Width, source.desc.Height));
  });
}

extern "C" void PasteImageS(int image, int left, int top, int right, int bottom) {
  pasteOntoScreen(image, [&](IDirect3DDevice9* device, IDirect3DSurface9* screen,
                             const ImageLock& source) {
    pasteQuad(device, screen, source.texture, stretchedCorners(left, top, right, bottom));
  });
}

// The one paste that unbinds the pixel shader when it is done with the effect
// (also when the technique was refused and nothing was drawn).
extern "C" void PasteImageSFX(int image, int left, int top, int right, int bottom, int effect) {
  const EffectSlot* slot = loadedEffectSlot(effect);
  if (slot == nullptr) return;
  pasteOntoScreen(image, [&](IDirect3DDevice9* device, IDirect3DSurface9* screen,
                             const ImageLock& source) {
    pasteQuadThroughEffect(device, *slot, screen, source.texture,
                           stretchedCorners(left, top, right, bottom));
    device->SetPixelShader(nullptr);
  });
}
