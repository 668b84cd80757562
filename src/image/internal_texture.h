// A render-target texture a command makes for itself, under no image number,
// and gives back (surface, then texture) on every way out of the command.
#pragma once

#include "image/image_lock.h"

namespace tessaly {

class InternalTexture {
 public:
  // Fatal when the device cannot make it.
  InternalTexture(UINT width, UINT height) { lock_.makeInternal(width, height); }
  InternalTexture(const InternalTexture&) = delete;
  InternalTexture& operator=(const InternalTexture&) = delete;
  ~InternalTexture() {
    lock_.releaseSurface();
    if (lock_.texture != nullptr) lock_.texture->Release();
  }

  IDirect3DSurface9* surface() const { return lock_.surface; }
  IDirect3DTexture9* texture() const { return lock_.texture; }

 private:
  ImageLock lock_;
};

}  // namespace tessaly
