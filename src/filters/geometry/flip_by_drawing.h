// The flips of a render target, which cannot be locked: drawn mirrored into
// an internal texture, then drawn back.
#pragma once

#include "filters/geometry/flip_in_memory.h"
#include "image/image_lock.h"

namespace tessaly {

// `lock` holds the image open; its surface is released on return.
void flipByDrawing(ImageLock& lock, FlipDirection direction);

}  // namespace tessaly
