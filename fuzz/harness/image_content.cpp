#include "image_content.h"

#include <algorithm>
#include <utility>

namespace fuzzing {

namespace {

class Noise {
 public:
  // xorshift never leaves 0, so noise starts from an odd seed.
  Noise(ImageContent content, std::uint32_t seed)
      : uniform_(content == ImageContent::oneColour), state_(uniform_ ? seed : seed | 1u) {}

  std::uint32_t next() {
    if (uniform_) return state_;
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  bool uniform_;
  std::uint32_t state_;
};

bool writeLockable(IDirect3DTexture9* texture, UINT width, UINT height, Noise& noise) {
  D3DLOCKED_RECT locked{};
  if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return false;
  auto* row = static_cast<unsigned char*>(locked.pBits);
  for (UINT y = 0; y < height; ++y, row += locked.Pitch) {
    auto* words = reinterpret_cast<std::uint32_t*>(row);
    for (UINT x = 0; x < width; ++x) words[x] = noise.next();
  }
  texture->UnlockRect(0);
  return true;
}

// A fill costs the device a good deal per pixel, more than anything else a
// program does to its images. So noise on a render target (which starts all
// zero) is eight rectangles of random colours, each up to a quarter of the
// image's width and height, at random places; one colour is a single fill.
bool writeRenderTarget(IDirect3DDevice9* device, IDirect3DTexture9* texture, UINT width, UINT height,
                       ImageContent content, Noise& noise) {
  if (width == 0 || height == 0) return true;
  IDirect3DSurface9* surface = nullptr;
  if (FAILED(texture->GetSurfaceLevel(0, &surface))) return false;
  bool filled = true;
  if (content == ImageContent::oneColour) {
    filled = SUCCEEDED(device->ColorFill(surface, nullptr, noise.next()));
  } else {
    const auto span = [&](UINT size) {
      const UINT start = noise.next() % size;
      const UINT length = 1 + noise.next() % std::max(1u, size / 4);
      return std::pair{static_cast<LONG>(start), static_cast<LONG>(std::min(size, start + length))};
    };
    for (int i = 0; i < 8 && filled; ++i) {
      const auto [left, right] = span(width);
      const auto [top, bottom] = span(height);
      const RECT rect{left, top, right, bottom};
      filled = SUCCEEDED(device->ColorFill(surface, &rect, noise.next()));
    }
  }
  surface->Release();
  return filled;
}

}  // namespace

bool writeImageContent(IDirect3DDevice9* device, IDirect3DTexture9* texture, bool renderTarget,
                       ImageContent content, std::uint32_t seed) {
  D3DSURFACE_DESC desc{};
  if (FAILED(texture->GetLevelDesc(0, &desc))) return false;
  Noise noise(content, seed);
  return renderTarget ? writeRenderTarget(device, texture, desc.Width, desc.Height, content, noise)
                      : writeLockable(texture, desc.Width, desc.Height, noise);
}

}  // namespace fuzzing
