// The commands that paste one image onto another. They test in one order:
// the effect number and slot (effect forms), the same image twice, the blend
// mode 0 stop (the positioned and stretched forms), the source, the target,
// whether the target is a render target; then they draw and give both
// surfaces back, the source's first.
#include "draw/draw_state.h"
#include "draw/paste/paste_commands.h"
#include "draw/paste/paste_drawing.h"
#include "draw/paste/paste_geometry.h"
#include "draw/paste/paste_software.h"
#include "effects/effect_slots.h"
#include "host/failure.h"
#include "host/host_link.h"
#include "image/image_lock.h"

using namespace tessaly;

namespace {

// What sets the commands apart before they draw.
struct OntoImage {
  const char* sameImageCaption;
  bool stopsAtBlendModeZero;
  const char* notRenderTargetMessage;  // null: any target is drawn into
  const char* notRenderTargetCaption;
};

constexpr char kSameImage[] = "Cannot copy image to itself.";
constexpr char kPasteCaption[] = "TS Paste Image On Image - Error";
constexpr char kShaderMessage[] =
    "TS Paste Image On Image requires a render target as the destination image to work if you "
    "want to apply a shader.";

constexpr OntoImage kPositioned{"Paste Image - Error", true, nullptr, nullptr};
constexpr OntoImage kThroughEffect{"Paste Image - Error", true, kShaderMessage, kPasteCaption};
constexpr OntoImage kStretched{
    "Paste Image - Error", true,
    "TS Paste Image On Image requires a render target as the destination image to work if you "
    "want to stretch the image.",
    kPasteCaption};
constexpr char kRotatedMessage[] =
    "TS Paste Image On Image Rotated requires a render target as the destination image to work.";
constexpr char kRotatedCaption[] = "TS Paste Image On Image Rotated - Error";
constexpr OntoImage kRotated{"Paste Image - Error", false, kRotatedMessage, kRotatedCaption};
constexpr OntoImage kRotatedThroughEffect{"Tessaly - Paste Image On Image Rotated", false,
                                          kRotatedMessage, kRotatedCaption};

// Runs the tests of the command, then draw(source, target) with both images
// open; a target that cannot be opened gives the source's surface back.
template <class Draw>
void pasteOntoImage(const OntoImage& command, int image, int targetImage, Draw draw) {
  if (image == targetImage) fatalError(kSameImage, command.sameImageCaption);
  if (command.stopsAtBlendModeZero && drawState.blendMode == 0) return;
  ImageLock source;
  if (!source.openImage(image)) return;
  ImageLock target;
  if (!target.openImage(targetImage)) {
    source.releaseSurface();
    return;
  }
  if (command.notRenderTargetMessage != nullptr && !target.isRenderTarget()) {
    fatalError(command.notRenderTargetMessage, command.notRenderTargetCaption);
  }
  draw(source, target);
  source.releaseSurface();
  target.releaseSurface();
}

// Host image numbers are 32-bit values the host reads as signed.
int imageNumber(DWORD image) { return static_cast<int>(image); }

}  // namespace

// Onto a plain image in memory with the blend mode's formula; onto any other
// image as a quad.
extern "C" void PasteImageOnImage(DWORD image, DWORD toImage, int x, int y) {
  pasteOntoImage(kPositioned, imageNumber(image), imageNumber(toImage),
                 [&](ImageLock& source, ImageLock& target) {
                   if (target.isPlain()) {
                     pasteSoftware(source, target, x, y);
                     return;
                   }
                   pasteQuad(hostDevice(), target.surface, source.texture,
                             positionedCorners(x, y, source.desc.Width, source.desc.Height));
                 });
}

extern "C" void PasteImageOnImageFX(DWORD image, DWORD targetImage, int x, int y, int effect) {
  const EffectSlot* slot = loadedEffectSlot(effect);
  if (slot == nullptr) return;
  pasteOntoImage(kThroughEffect, imageNumber(image), imageNumber(targetImage),
                 [&](ImageLock& source, ImageLock& target) {
                   IDirect3DDevice9* device = hostDevice();
                   pasteQuadThroughEffect(
                       device, *slot, target.surface, source.texture,
                       positionedCorners(x, y, source.desc.Width, source.desc.Height));
                 });
}

extern "C" void PasteImageOnImageS(DWORD image, DWORD targetImage, int left, int top, int right,
                                   int bottom) {
  pasteOntoImage(kStretched, imageNumber(image), imageNumber(targetImage),
                 [&](ImageLock& source, ImageLock& target) {
                   pasteQuad(hostDevice(), target.surface, source.texture,
                             stretchedCorners(left, top, right, bottom));
                 });
}

extern "C" void PasteImageOnImageSFX(DWORD image, DWORD targetImage, int left, int top, int right,
                                     int bottom, int effect) {
  const EffectSlot* slot = loadedEffectSlot(effect);
  if (slot == nullptr) return;
  pasteOntoImage(kThroughEffect, imageNumber(image), imageNumber(targetImage),
                 [&](ImageLock& source, ImageLock& target) {
                   pasteQuadThroughEffect(hostDevice(), *slot, target.surface, source.texture,
                                          stretchedCorners(left, top, right, bottom));
                 });
}

extern "C" void PasteImageOnImageRotated(int image, int targetImage, int x, int y, float angle) {
  pasteOntoImage(kRotated, image, targetImage, [&](ImageLock& source, ImageLock& target) {
    IDirect3DDevice9* device = hostDevice();
    pasteQuad(device, target.surface, source.texture,
              rotatedCorners(x, y, source.desc.Width, source.desc.Height, angle, kOnImageShift));
  });
}

extern "C" void PasteImageOnImageRotatedFX(int image, int targetImage, int x, int y, float angle,
                                           int effect) {
  const EffectSlot* slot = loadedEffectSlot(effect);
  if (slot == nullptr) return;
  pasteOntoImage(kRotatedThroughEffect, image, targetImage,
                 [&](ImageLock& source, ImageLock& target) {
                   IDirect3DDevice9* device = hostDevice();
                   pasteQuadThroughEffect(device, *slot, target.surface, source.texture,
                                          rotatedCorners(x, y, source.desc.Width,
                                                         source.desc.Height, angle, kOnImageShift));
                 });
}
