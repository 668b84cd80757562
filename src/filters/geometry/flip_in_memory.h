// The flips of a plain image, in memory.
#pragma once

#include "image/image_lock.h"

namespace tessaly {

enum class FlipDirection { horizontal, vertical, both };

// `lock` holds a plain image open (not locked): lock, flip, unlock, release.
void flipPlainImage(ImageLock& lock, FlipDirection direction);

}  // namespace tessaly
