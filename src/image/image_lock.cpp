#include "image/image_lock.h"

#include "host/failure.h"
#include "host/host_link.h"

namespace tessaly {

bool ImageLock::describe() {
  if (FAILED(texture->GetSurfaceLevel(0, &surface))) {
    surface = nullptr;
    fatalError("Could not retrieve surface from image.", "Error");
  }
  if (FAILED(surface->GetDesc(&desc))) {
    releaseSurface();
    fatalError("Could not retrieve surface description from image.", "Error");
  }
  return true;
}

bool ImageLock::openImage(int image) {
  texture = hostLink.getPointer(image);
  if (texture == nullptr) {
    setRuntimeError(runtime_error::kNoSuchImage);
    return false;
  }
  return describe();
}

bool ImageLock::replaceHostImage(int image) {
  if (image <= 0) {
    setRuntimeError(runtime_error::kNoSuchImage);
    return false;
  }
  if (hostLink.getExist(image)) hostLink.deleteImage(image);
  return true;
}

bool ImageLock::makeImage(int image, int width, int height) {
  if (!replaceHostImage(image)) return false;
  texture = hostLink.make(image, width, height);
  return texture != nullptr && describe();
}

bool ImageLock::makeTargetImage(int image, int width, int height) {
  if (!replaceHostImage(image)) return false;
  texture = hostLink.makeFormat(image, width, height, D3DFMT_A8R8G8B8, D3DUSAGE_RENDERTARGET);
  return texture != nullptr && describe();
}

void ImageLock::makeInternal(UINT width, UINT height) {
  IDirect3DDevice9* device = hostDevice();
  if (FAILED(device->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                   D3DPOOL_DEFAULT, &texture, nullptr))) {
    texture = nullptr;
    fatalError("Could not create an internal image.", "Error");
  }
  describe();
}

void ImageLock::lock(const RECT* rect) {
  if (FAILED(surface->LockRect(&lockedRect, rect, 0))) {
    releaseSurface();
    fatalError("Could not lock image.", "Error");
  }
}

void ImageLock::unlockAndRelease() {
  surface->UnlockRect();
  lockedRect = {};
  releaseSurface();
}

void ImageLock::releaseSurface() {
  if (surface == nullptr) return;
  surface->Release();
  surface = nullptr;
}

void ImageLock::close() {
  if (surface == nullptr) return;
  surface->UnlockRect();  // ends a lock left open on an early way out; fails harmlessly otherwise
  releaseSurface();
}

PixelRect ImageLock::pixels() const {
  return {static_cast<std::uint8_t*>(lockedRect.pBits), lockedRect.Pitch, desc.Width,
          desc.Height};
}

}  // namespace tessaly

extern "C" DWORD IsTargetImage(DWORD image) {
  tessaly::ImageLock lock;
  if (!lock.openImage(static_cast<int>(image))) return 0;
  return lock.isRenderTarget() ? 1 : 0;
}
