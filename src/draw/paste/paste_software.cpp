#include "draw/paste/paste_software.h"

#include "draw/draw_state.h"
#include "draw/paste/paste_kernel_set.h"

#include <algorithm>

namespace tessaly {

namespace {

// The overlap of the source placed at (x, y) with the target, in target
// pixels (right and bottom exclusive). Sums are formed in 64 bits, so no
// position or size can overflow them.
struct Overlap {
  std::int64_t left, top, right, bottom;
  bool empty() const { return right <= left || bottom <= top; }
};

Overlap overlapOf(const D3DSURFACE_DESC& source, const D3DSURFACE_DESC& target, std::int32_t x,
                  std::int32_t y) {
  return {std::max<std::int64_t>(x, 0), std::max<std::int64_t>(y, 0),
          std::min<std::int64_t>(std::int64_t{x} + source.Width, target.Width),
          std::min<std::int64_t>(std::int64_t{y} + source.Height, target.Height)};
}

// A rectangle within a surface, whose sides fit LONG.
RECT rectOf(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
  return {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
          static_cast<LONG>(bottom)};
}

PixelRect lockedPixels(const ImageLock& lock, std::uint32_t width, std::uint32_t height) {
  return {static_cast<std::uint8_t*>(lock.lockedRect.pBits), lock.lockedRect.Pitch, width, height};
}

}  // namespace

void pasteSoftware(ImageLock& source, ImageLock& target, std::int32_t x, std::int32_t y) {
  const Overlap overlap = overlapOf(source.desc, target.desc, x, y);
  if (overlap.empty()) return;

  const RECT targetRect = rectOf(overlap.left, overlap.top, overlap.right, overlap.bottom);
  target.lock(&targetRect);
  const std::int64_t sx = overlap.left - x;
  const std::int64_t sy = overlap.top - y;
  const std::int64_t w = overlap.right - overlap.left;
  const std::int64_t h = overlap.bottom - overlap.top;
  const RECT sourceRect = rectOf(sx, sy, sx + w, sy + h);
  source.lock(&sourceRect);

  const auto width = static_cast<std::uint32_t>(w);
  const auto height = static_cast<std::uint32_t>(h);
  pastePixels(lockedPixels(source, width, height), lockedPixels(target, width, height), drawState.blendMode);

  source.surface->UnlockRect();
  target.surface->UnlockRect();
}

}  // namespace tessaly
