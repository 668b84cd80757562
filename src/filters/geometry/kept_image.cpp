#include "filters/geometry/kept_image.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace tessaly {

namespace {

// The working memory comes first, rounded up to a multiple of 16 bytes so
// that the pixels after it stay aligned.
constexpr std::size_t kScratchBytes = (std::max(sizeof(NearestScratch), sizeof(BilinearScratch)) + 15) / 16 * 16;

}  // namespace

KeptImage KeptImage::allocate(std::uint32_t width, std::uint32_t height) {
  KeptImage kept;
  // Rows of width + 1 pixels (see ResizeSource); both factors are below 2^33,
  // so the product cannot overflow 64 bits.
  const std::uint64_t stride = (std::uint64_t{width} + 1) * 4;
  const std::uint64_t pixelBytes = stride * height;
  const std::uint64_t total = kScratchBytes + pixelBytes + kSourceSlackBytes;
  if (total > static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max())) return kept;
  kept.memory_.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(total)]);
  if (kept.memory_) {
    std::uint8_t* pixels = kept.memory_.get() + kScratchBytes;
    kept.source_ = {pixels, static_cast<std::size_t>(stride), width, height};
    std::memset(pixels + pixelBytes, 0, kSourceSlackBytes);  // read, never used
  }
  return kept;
}

// Each row with its last pixel repeated once after it.
void KeptImage::copyFrom(const PixelRect& image) {
  std::uint8_t* out = memory_.get() + kScratchBytes;
  const std::size_t rowBytes = 4 * std::size_t{source_.width};
  for (std::uint32_t y = 0; y < source_.height; ++y, out += source_.stride) {
    std::memcpy(out, image.row(y), rowBytes);
    std::memcpy(out + rowBytes, out + rowBytes - 4, 4);
  }
}

void KeptImage::copyTo(const PixelRect& image) const {
  const std::uint32_t rows = std::min(image.height, source_.height);
  const std::size_t rowBytes = 4 * std::size_t{std::min(image.width, source_.width)};
  for (std::uint32_t y = 0; y < rows; ++y) std::memcpy(image.row(y), source_.row(y), rowBytes);
}

NearestScratch& KeptImage::nearestScratch() { return *new (memory_.get()) NearestScratch; }

BilinearScratch& KeptImage::bilinearScratch() { return *new (memory_.get()) BilinearScratch; }

}  // namespace tessaly
