#include "filters/geometry/resize_in_memory.h"

#include "filters/geometry/resize_kernels.h"
#include "host/host_link.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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

// The old pixels and the resize's working memory, in one allocation made
// before the old image is given up.
class KeptImage {
 public:
  // Empty when the memory cannot be had.
  static KeptImage allocate(std::uint32_t width, std::uint32_t height) {
    KeptImage kept;
    const std::uint64_t stride = (std::uint64_t{width} + 1) * 4;
    const std::uint64_t pixelBytes = stride * height;  // both factors below 2^33
    const std::uint64_t total = pixelBytes + kScratchBytes;
    if (pixelBytes / stride != height || total > static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max())) {
      return kept;
    }
    kept.memory_.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(total)]);
    if (!kept.memory_) return kept;
    kept.source_ = {kept.memory_.get() + kScratchBytes, static_cast<std::size_t>(stride), width, height};
    return kept;
  }

  explicit operator bool() const { return memory_ != nullptr; }
  const ResizeSource& source() const { return source_; }

  // Each row copied with its last pixel repeated once after it.
  void copyFrom(const PixelRect& image) {
    std::uint8_t* out = memory_.get() + kScratchBytes;
    const std::size_t rowBytes = 4 * std::size_t{source_.width};
    for (std::uint32_t y = 0; y < source_.height; ++y, out += source_.stride) {
      std::memcpy(out, image.row(y), rowBytes);
      std::memcpy(out + rowBytes, out + rowBytes - 4, 4);
    }
  }

  void copyTo(const PixelRect& image) const {
    const std::uint32_t rows = std::min(image.height, source_.height);
    const std::size_t rowBytes = 4 * std::size_t{std::min(image.width, source_.width)};
    for (std::uint32_t y = 0; y < rows; ++y) std::memcpy(image.row(y), source_.row(y), rowBytes);
  }

  NearestScratch& nearestScratch() { return *new (memory_.get()) NearestScratch; }
  BilinearScratch& bilinearScratch() { return *new (memory_.get()) BilinearScratch; }

 private:
  // Rounded up to a multiple of 16, so the pixels after it stay aligned.
  static constexpr std::size_t kScratchBytes =
      (std::max(sizeof(NearestScratch), sizeof(BilinearScratch)) + 15) / 16 * 16;

  std::unique_ptr<std::uint8_t[]> memory_;
  ResizeSource source_;
};

// The host could not make the new image after the old one was deleted: the
// old one is made again under its number, with its pixels, so that a failed
// resize leaves the user's image as it was.
void restore(int image, const KeptImage& kept) {
  if (hostLink.getExist(image)) return;  // nothing was deleted
  const ResizeSource& old = kept.source();
  ImageLock restored;
  if (!restored.makeImage(image, static_cast<int>(old.width), static_cast<int>(old.height))) return;
  restored.lock(nullptr);
  kept.copyTo(restored.pixels());
  restored.unlockAndRelease();
}

}  // namespace

void resizePlainImage(ImageLock& lock, int image, DWORD width, DWORD height, DWORD mode) {
  // Sizes no image can have are refused before anything changes, as are
  // sizes whose old pixels cannot be kept: the image stays as it is.
  if (!isPossibleSize(width, height)) return;
  KeptImage kept = KeptImage::allocate(lock.desc.Width, lock.desc.Height);
  if (!kept) return;
  lock.lock(nullptr);
  kept.copyFrom(lock.pixels());
  lock.unlockAndRelease();

  ImageLock made;
  if (!made.makeImage(image, static_cast<int>(width), static_cast<int>(height))) {
    restore(image, kept);
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
    resizeBilinear(kept.source(), target, kept.bilinearScratch());
  } else {
    resizeNearest(kept.source(), target, kept.nearestScratch());
  }
  made.unlockAndRelease();
}

}  // namespace tessaly
