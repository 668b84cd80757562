#include "image/image_creation.h"

#include "draw/target_clear.h"
#include "host/failure.h"
#include "host/host_link.h"
#include "image/image_lock.h"

using namespace tessaly;

namespace {

// Only 0 is refused by the three-argument forms; every other number, negative
// ones too, goes to the host, whose answer is not examined.
void deleteIfExists(int image) {
  if (hostLink.getExist(image)) hostLink.deleteImage(image);
}

}  // namespace

extern "C" void CreateImage(DWORD image, int width, int height) {
  if (image == 0) {
    setRuntimeError(runtime_error::kCreateImageZero);
    return;
  }
  const int number = static_cast<int>(image);
  deleteIfExists(number);
  hostLink.make(number, width, height);
}

extern "C" void CreateTargetImage(DWORD image, int width, int height) {
  if (image == 0) {
    setRuntimeError(runtime_error::kNoSuchImage);
    return;
  }
  const int number = static_cast<int>(image);
  deleteIfExists(number);
  hostLink.makeFormat(number, width, height, D3DFMT_A8R8G8B8, D3DUSAGE_RENDERTARGET);
}

// Every pixel gets the colour, alpha included; the padding after each row
// belongs to no pixel and is not written.
extern "C" void CreateImage2(DWORD image, int width, int height, DWORD colour) {
  ImageLock lock;
  if (!lock.makeImage(static_cast<int>(image), width, height)) return;
  lock.lock(nullptr);
  fillPixels(lock.pixels(), colour);
  lock.unlockAndRelease();
}

// A render target cannot be locked: it is filled by clearing it.
extern "C" void CreateTargetImage2(DWORD image, int width, int height, DWORD colour) {
  ImageLock lock;
  if (!lock.makeTargetImage(static_cast<int>(image), width, height)) return;
  IDirect3DDevice9* device = hostLink.getDirect3DDevice();
  clearRenderTarget(device, lock.surface, colour);
  device->SetRenderTarget(0, hostScreenSurface());
  lock.releaseSurface();
}
