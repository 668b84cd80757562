#include "image/render_target_conversion.h"

#include "draw/copy_by_drawing.h"
#include "host/failure.h"
#include "host/host_link.h"
#include "image/image_lock.h"

using namespace tessaly;

namespace {

void copyWhole(IDirect3DSurface9* target, IDirect3DTexture9* texture, UINT width, UINT height) {
  copyByDrawing(hostLink.getDirect3DDevice(), target, texture, 0.0f, 0.0f,
                static_cast<float>(width), static_cast<float>(height));
}

// When the render target cannot be made, the image is made again as a plain
// image holding what the internal copy holds, so that converting never loses
// it. A render target is read back through a system-memory surface.
void restorePlainImage(int image, const ImageLock& internal) {
  const UINT width = internal.desc.Width;
  const UINT height = internal.desc.Height;
  IDirect3DDevice9* device = hostLink.getDirect3DDevice();
  IDirect3DSurface9* readBack = nullptr;
  if (FAILED(device->CreateOffscreenPlainSurface(width, height, D3DFMT_A8R8G8B8,
                                                 D3DPOOL_SYSTEMMEM, &readBack, nullptr))) {
    fatalError("Could not create an internal image.", "Error");
  }
  D3DLOCKED_RECT pixels{};
  if (FAILED(device->GetRenderTargetData(internal.surface, readBack)) ||
      FAILED(readBack->LockRect(&pixels, nullptr, D3DLOCK_READONLY))) {
    readBack->Release();
    fatalError("Could not lock image.", "Error");
  }
  ImageLock plain;
  if (plain.makeImage(image, static_cast<int>(width), static_cast<int>(height))) {
    plain.lock(nullptr);
    copyPixels(plain.pixels(), {static_cast<std::uint8_t*>(pixels.pBits), pixels.Pitch, width, height});
    plain.unlockAndRelease();
  }
  readBack->UnlockRect();
  readBack->Release();
}

}  // namespace

extern "C" void ConvertToRenderTarget(DWORD image) {
  const int number = static_cast<int>(image);
  ImageLock lock;
  if (!lock.openImage(number)) return;
  if (!lock.isPlain()) return;  // already a render target (or another kind): nothing changes
  // A number the host cannot make an image under would lose the image below.
  if (number <= 0) {
    setRuntimeError(runtime_error::kNoSuchImage);
    return;
  }
  const UINT width = lock.desc.Width;
  const UINT height = lock.desc.Height;

  ImageLock internal;
  internal.makeInternal(width, height);
  copyWhole(internal.surface, lock.texture, width, height);
  lock.releaseSurface();
  hostLink.deleteImage(number);

  if (lock.makeTargetImage(number, static_cast<int>(width), static_cast<int>(height))) {
    copyWhole(lock.surface, internal.texture, width, height);
    lock.releaseSurface();
  } else {
    restorePlainImage(number, internal);
  }
  internal.releaseSurface();
  internal.texture->Release();
}

// The source may be plain or a render target; copying an image onto its own
// number converts it.
extern "C" void CopyToRenderTarget(DWORD image, DWORD source) {
  if (image == source) {
    ConvertToRenderTarget(image);
    return;
  }
  ImageLock from;
  if (!from.openImage(static_cast<int>(source))) return;
  const UINT width = from.desc.Width;
  const UINT height = from.desc.Height;
  ImageLock copy;
  if (!copy.makeTargetImage(static_cast<int>(image), static_cast<int>(width),
                            static_cast<int>(height))) {
    return;
  }
  copyWhole(copy.surface, from.texture, width, height);
  copy.releaseSurface();
  from.releaseSurface();
}
