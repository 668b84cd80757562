#include "image/image_copy.h"

#include "draw/copy_by_drawing.h"
#include "host/failure.h"
#include "host/host_link.h"
#include "image/image_lock.h"

#include <algorithm>
#include <cstdint>

using namespace tessaly;

namespace {

// Two locked images: the new one, then the source.
void unlockAndReleaseBoth(ImageLock& copy, ImageLock& source) {
  copy.surface->UnlockRect();
  source.surface->UnlockRect();
  copy.releaseSurface();
  source.releaseSurface();
}

}  // namespace

// A plain source gives a plain copy, any other source a render target.
extern "C" void CopyImage(DWORD image, DWORD source) {
  if (image == source) return;
  ImageLock from;
  if (!from.openImage(static_cast<int>(source))) return;
  const UINT width = from.desc.Width;
  const UINT height = from.desc.Height;

  ImageLock copy;
  if (from.isPlain()) {
    from.lock(nullptr);
    if (!copy.makeImage(static_cast<int>(image), static_cast<int>(width), static_cast<int>(height))) {
      return;
    }
    copy.lock(nullptr);
    copyPixels(copy.pixels(), from.pixels());
    unlockAndReleaseBoth(copy, from);
    return;
  }
  if (!copy.makeTargetImage(static_cast<int>(image), static_cast<int>(width),
                            static_cast<int>(height))) {
    return;
  }
  copyByDrawing(hostLink.getDirect3DDevice(), copy.surface, from.texture, 0.0f, 0.0f,
                static_cast<float>(width), static_cast<float>(height));
  copy.releaseSurface();
  from.releaseSurface();
}

// The rectangle left <= x < right, top <= y < bottom of the source, cut to
// the source, into a new image of its size; a rectangle with no pixel of the
// source in it does nothing.
extern "C" void CopyImage2(DWORD image, DWORD source, int left, int top, int right, int bottom) {
  if (image == source) fatalError("Cannot copy image to itself.", "Error");
  // An edge at 0 or less leaves no pixel either: such a rectangle would ask
  // the host for an image 0 pixels wide or high.
  if (right <= left || bottom <= top || right <= 0 || bottom <= 0) return;
  ImageLock from;
  if (!from.openImage(static_cast<int>(source))) return;
  const std::int64_t width = from.desc.Width;
  const std::int64_t height = from.desc.Height;
  if (left >= width || top >= height) return;

  const std::int64_t clippedLeft = std::max(left, 0);
  const std::int64_t clippedTop = std::max(top, 0);
  const auto copyWidth = static_cast<int>(std::min<std::int64_t>(right, width) - clippedLeft);
  const auto copyHeight = static_cast<int>(std::min<std::int64_t>(bottom, height) - clippedTop);

  ImageLock copy;
  if (from.isPlain()) {
    if (!copy.makeImage(static_cast<int>(image), copyWidth, copyHeight)) return;
    copy.lock(nullptr);
    const RECT area{static_cast<LONG>(clippedLeft), static_cast<LONG>(clippedTop),
                    static_cast<LONG>(clippedLeft + copyWidth),
                    static_cast<LONG>(clippedTop + copyHeight)};
    from.lock(&area);
    const PixelRect rectangle{static_cast<std::uint8_t*>(from.lockedRect.pBits),
                              from.lockedRect.Pitch, static_cast<std::uint32_t>(copyWidth),
                              static_cast<std::uint32_t>(copyHeight)};
    copyPixels(copy.pixels(), rectangle);
    unlockAndReleaseBoth(copy, from);
    return;
  }
  if (!copy.makeTargetImage(static_cast<int>(image), copyWidth, copyHeight)) return;
  // The whole source, moved so that the rectangle lands at (0, 0); the rest
  // falls outside the new image.
  copyByDrawing(hostLink.getDirect3DDevice(), copy.surface, from.texture,
                static_cast<float>(-clippedLeft), static_cast<float>(-clippedTop),
                static_cast<float>(width - clippedLeft), static_cast<float>(height - clippedTop));
  copy.releaseSurface();
  from.releaseSurface();
}
