// Reading and writing a whole image as 0xAARRGGBB words, row by row, through
// ordinary Direct3D 9 calls: plain images are locked, render targets are read
// back through a system-memory surface as on a real device.
#pragma once

#include "host/d3d9_api.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace standin {

struct ImagePixels {
  UINT width = 0;
  UINT height = 0;
  std::vector<std::uint32_t> words;  // width * height, top row first

  std::uint32_t at(UINT x, UINT y) const { return words[static_cast<std::size_t>(y) * width + x]; }
};

// Every pixel of level 0 of a texture; nothing if Direct3D refused a step.
std::optional<ImagePixels> readPixels(IDirect3DDevice9* device, IDirect3DTexture9* texture);
// Every pixel of a surface (a render target or a lockable one).
std::optional<ImagePixels> readSurfacePixels(IDirect3DDevice9* device, IDirect3DSurface9* surface);

// Writes words into level 0 of a lockable texture of the same size; false if
// the size differs or Direct3D refused.
bool writePixels(IDirect3DTexture9* texture, const ImagePixels& pixels);

// Writes words into level 0 of a render-target texture of the same size. A
// render target cannot be locked, so each run of equal words in a row is
// filled with ColorFill; false if the size differs or Direct3D refused.
bool writeTargetPixels(IDirect3DDevice9* device, IDirect3DTexture9* texture,
                       const ImagePixels& pixels);

}  // namespace standin
