#include "image_pixels.h"

#include <cstring>

namespace standin {

namespace {

// Copies the rows of a locked rectangle out, without the padding past each row.
ImagePixels copyLocked(const D3DLOCKED_RECT& locked, UINT width, UINT height) {
  ImagePixels pixels{width, height, std::vector<std::uint32_t>(std::size_t{width} * height)};
  const auto* bits = static_cast<const unsigned char*>(locked.pBits);
  for (UINT y = 0; y < height; ++y) {
    std::memcpy(pixels.words.data() + std::size_t{y} * width,
                bits + static_cast<std::ptrdiff_t>(y) * locked.Pitch, std::size_t{width} * 4);
  }
  return pixels;
}

std::optional<ImagePixels> readLockable(IDirect3DSurface9* surface, UINT width, UINT height) {
  D3DLOCKED_RECT locked{};
  if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return std::nullopt;
  ImagePixels pixels = copyLocked(locked, width, height);
  surface->UnlockRect();
  return pixels;
}

// Whether level 0 of the texture has the size of the pixels to be written.
bool sameSize(IDirect3DTexture9* texture, const ImagePixels& pixels) {
  D3DSURFACE_DESC desc{};
  return SUCCEEDED(texture->GetLevelDesc(0, &desc)) && desc.Width == pixels.width &&
         desc.Height == pixels.height;
}

}  // namespace

std::optional<ImagePixels> readSurfacePixels(IDirect3DDevice9* device, IDirect3DSurface9* surface) {
  D3DSURFACE_DESC desc{};
  if (FAILED(surface->GetDesc(&desc))) return std::nullopt;
  // Only render targets need the read-back: every other surface can be locked.
  if ((desc.Usage & D3DUSAGE_RENDERTARGET) == 0) return readLockable(surface, desc.Width, desc.Height);

  IDirect3DSurface9* copy = nullptr;
  if (FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                 D3DPOOL_SYSTEMMEM, &copy, nullptr))) {
    return std::nullopt;
  }
  std::optional<ImagePixels> pixels;
  if (SUCCEEDED(device->GetRenderTargetData(surface, copy))) {
    pixels = readLockable(copy, desc.Width, desc.Height);
  }
  copy->Release();
  return pixels;
}

std::optional<ImagePixels> readPixels(IDirect3DDevice9* device, IDirect3DTexture9* texture) {
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(texture->GetSurfaceLevel(0, &surface))) return std::nullopt;
  std::optional<ImagePixels> pixels = readSurfacePixels(device, surface);
  surface->Release();
  return pixels;
}

bool writePixels(IDirect3DTexture9* texture, const ImagePixels& pixels) {
  if (!sameSize(texture, pixels)) return false;
  D3DLOCKED_RECT locked{};
  if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return false;
  auto* bits = static_cast<unsigned char*>(locked.pBits);
  for (UINT y = 0; y < pixels.height; ++y) {
    std::memcpy(bits + static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                pixels.words.data() + std::size_t{y} * pixels.width, std::size_t{pixels.width} * 4);
  }
  texture->UnlockRect(0);
  return true;
}

bool writeTargetPixels(IDirect3DDevice9* device, IDirect3DTexture9* texture,
                       const ImagePixels& pixels) {
  if (!sameSize(texture, pixels)) return false;
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(texture->GetSurfaceLevel(0, &surface))) return false;
  bool filled = true;
  for (UINT y = 0; y < pixels.height && filled; ++y) {
    for (UINT x = 0; x < pixels.width && filled;) {
      const std::uint32_t word = pixels.at(x, y);
      UINT end = x + 1;
      while (end < pixels.width && pixels.at(end, y) == word) ++end;
      const RECT run{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(end),
                     static_cast<LONG>(y + 1)};
      filled = SUCCEEDED(device->ColorFill(surface, &run, word));
      x = end;
    }
  }
  surface->Release();
  return filled;
}

}  // namespace standin
