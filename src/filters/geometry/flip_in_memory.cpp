#include "filters/geometry/flip_in_memory.h"

#include "filters/geometry/flip_kernels.h"

namespace tessaly {

namespace {

using FlipKernel = void (*)(const PixelRect&);

// By FlipDirection.
constexpr FlipKernel kFlips[] = {flipHorizontally, flipVertically, flipBoth};

}  // namespace

void flipPlainImage(ImageLock& lock, FlipDirection direction) {
  lock.lock(nullptr);
  kFlips[static_cast<int>(direction)](lock.pixels());
  lock.unlockAndRelease();
}

}  // namespace tessaly
