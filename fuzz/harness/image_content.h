// The pixels of an image a program makes, drawn from a 32-bit seed and written
// straight into the image: a lockable texture through its lock, a render
// target (which cannot be locked) by colour fills.
#pragma once

#include "host/d3d9_api.h"

#include <cstdint>

namespace fuzzing {

enum class ImageContent {
  noise,      // a random word for every pixel (rectangles on a render target)
  oneColour,  // the seed for every pixel
};

// False if the device refused a call on the way.
bool writeImageContent(IDirect3DDevice9* device, IDirect3DTexture9* texture, bool renderTarget,
                       ImageContent content, std::uint32_t seed);

}  // namespace fuzzing
