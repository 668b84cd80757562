// The image lock: one per image a command touches. It finds or makes the
// image's texture, holds the level-0 surface and its description, locks it,
// and on every way out unlocks and releases the surface (never the texture of
// a host image: that stays the host's).
#pragma once

#include "host/d3d9_api.h"
#include "image/pixel_rect.h"

namespace tessaly {

class ImageLock {
 public:
  IDirect3DTexture9* texture = nullptr;
  IDirect3DSurface9* surface = nullptr;
  D3DSURFACE_DESC desc{};
  D3DLOCKED_RECT lockedRect{};

  ImageLock() = default;
  ImageLock(const ImageLock&) = delete;
  ImageLock& operator=(const ImageLock&) = delete;
  ~ImageLock() { close(); }

  // The host's image under this number; false (runtime error 502) if none.
  bool openImage(int image);
  // A new plain host image, replacing any under the number; false if the number
  // is 0 or less (runtime error 502) or the host could not make it.
  bool makeImage(int image, int width, int height);
  // The same, as a render target.
  bool makeTargetImage(int image, int width, int height);
  // A render-target texture owned by the command, under no image number; the
  // caller releases `texture` after releaseSurface().
  void makeInternal(UINT width, UINT height);

  // Locks the whole surface (rect null) or a rectangle; fatal on failure.
  void lock(const RECT* rect);
  // Ends the lock and gives the surface back.
  void unlockAndRelease();
  void releaseSurface();
  // The clean-up that runs on every way out.
  void close();

  bool isPlain() const { return desc.Usage == 0; }
  bool isRenderTarget() const { return (desc.Usage & D3DUSAGE_RENDERTARGET) != 0; }

  // The locked pixels (valid between lock() and the unlock).
  PixelRect pixels() const;

 private:
  bool describe();
  bool replaceHostImage(int image);
};

}  // namespace tessaly

extern "C" DWORD IsTargetImage(DWORD image);
