#include "filters/geometry/resize_in_memory.h"

#include "filters/geometry/resize_kernels.h"
#include "host/host_link.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>

namespace tessaly {

namespace {

// A new image must have pixels, take the host's signed sizes, and hold fewer
// than 2^32 bytes of pixels, so that no size computed from it overflows.
bool isPossibleSize(DWORD width, DWORD height) {
  constexpr std::uint64_t kMaxSide = std::numeric_limits<std::int32_t>::max();
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return false;
  return std::uint64_t{width} * height * 4 <= std::numeric_limits<std::uint32_t>::max();
}

// The host could not make the new image, and the old one is no longer under
// its number: it is made again at its old size, with its pixels, so that a
// failed resize leaves the user's image as it was.
void restore(int image, const PixelRect& old) {
  if (hostLink.getExist(image)) return;  // nothing was deleted
  ImageLock restored;
  if (!restored.makeImage(image, static_cast<int>(old.width), static_cast<int>(old.height))) return;
  restored.lock(nullptr);
  copyPixels(restored.pixels(), old);
  restored.unlockAndRelease();
}

}  // namespace

void resizePlainImage(ImageLock& lock, int image, DWORD width, DWORD height, DWORD mode) {
  // Sizes no image can have are refused before anything changes, and so are
  // resizes whose working memory cannot be had: the image stays as it is.
  if (!isPossibleSize(width, height)) return;
  const std::unique_ptr<ResizePlans> plans(new (std::nothrow) ResizePlans);
  if (!plans) return;

  // The old image stays locked while it is made again under its number: the
  // lock's reference keeps its texture, and so its pixels, alive after the
  // host has let go of it, so they are read in place, without a copy.
  lock.lock(nullptr);
  const PixelRect old = lock.pixels();
  ImageLock made;
  if (!made.makeImage(image, static_cast<int>(width), static_cast<int>(height))) {
    restore(image, old);
    lock.unlockAndRelease();
    return;
  }
  made.lock(nullptr);
  // Only the pixels the host's image has are written, should it have made it
  // smaller than asked.
  PixelRect pixels = made.pixels();
  pixels.width = std::min<std::uint32_t>(pixels.width, width);
  pixels.height = std::min<std::uint32_t>(pixels.height, height);
  const ResizeTarget target{pixels, width, height};
  // Mode 1 is bilinear; 0, and any mode without a meaning of its own, is
  // nearest-neighbour: a resize always gives the image its new size and
  // pixels that come from the old one, never whatever a new image holds.
  if (mode == 1) {
    resizeBilinear(old, target, plans->bilinear);
  } else {
    resizeNearest(old, target, plans->nearest);
  }
  made.unlockAndRelease();
  lock.unlockAndRelease();
}

}  // namespace tessaly
