// "TS Paste Image Channel": channels of one image written into another, over
// the whole image (same size, same bits) or with the source placed at an
// offset, clipped, and its channel byte spread into the written channels.
#include "filters/channels/channel_commands.h"
#include "filters/channels/channel_kernels.h"
#include "host/failure.h"
#include "image/image_lock.h"

#include <algorithm>
#include <cstdint>

using namespace tessaly;

namespace {

constexpr std::string_view kPasteChannel = "TS Paste Image Channel";

// Opens the source, then the destination; false (runtime error 502) if
// either names no image. Each lock's clean-up releases what it holds.
bool openBoth(ImageLock& source, DWORD image, ImageLock& destination, DWORD destinationImage) {
  return source.openImage(static_cast<int>(image)) &&
         destination.openImage(static_cast<int>(destinationImage));
}

void releaseBoth(ImageLock& source, ImageLock& destination) {
  source.releaseSurface();
  destination.releaseSurface();
}

// The pixels of a rectangle lock: pBits is its top-left pixel.
PixelRect lockedArea(const ImageLock& lock, const RECT& area) {
  return {static_cast<std::uint8_t*>(lock.lockedRect.pBits), lock.lockedRect.Pitch,
          static_cast<std::uint32_t>(area.right - area.left),
          static_cast<std::uint32_t>(area.bottom - area.top)};
}

}  // namespace

extern "C" void PasteImageChannel(DWORD image, DWORD destinationImage, DWORD channel) {
  if (image == destinationImage) fatalError("Cannot copy channel from the same image.", "Error");
  ImageLock source;
  ImageLock destination;
  if (!openBoth(source, image, destination, destinationImage)) return;
  if (source.desc.Width != destination.desc.Width || source.desc.Height != destination.desc.Height) {
    releaseBoth(source, destination);
    fatalError("Could not paste image channel because dimensions do not match.", "Error");
  }
  if (!destination.isPlain()) fatalNotForRenderTargets(kPasteChannel);
  // A render-target source cannot be locked: the paste quietly does nothing.
  if (source.isRenderTarget()) return;
  source.lock(nullptr);
  destination.lock(nullptr);
  copyChannelBits(source.pixels(), destination.pixels(), channel);
  destination.unlockAndRelease();
  source.unlockAndRelease();
}

extern "C" void PasteImageChannel2(DWORD image, DWORD destinationImage, DWORD channel,
                                   DWORD channelSource, int x, int y) {
  if (image == destinationImage) {
    fatalError("Cannot paste image channel to itself.", "Paste Image Channel - Error");
  }
  const ChannelRead read = channelRead(channelSource);
  if (read.readsNothing()) return;
  ImageLock source;
  ImageLock destination;
  if (!openBoth(source, image, destination, destinationImage)) return;
  if (!destination.isPlain()) fatalNotForRenderTargets(kPasteChannel);
  if (source.isRenderTarget()) {
    releaseBoth(source, destination);
    fatalNotForRenderTargets(kPasteChannel);
  }

  // The source's top-left pixel lands on (x, y); clipped in destination
  // coordinates, with sums in 64 bits so that no offset can overflow.
  const std::int64_t left = std::max<std::int64_t>(x, 0);
  const std::int64_t top = std::max<std::int64_t>(y, 0);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + source.desc.Width, destination.desc.Width);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + source.desc.Height, destination.desc.Height);
  if (right <= left || bottom <= top) return;

  // Every bound lies within its own image, so each fits a LONG.
  const RECT toArea{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                    static_cast<LONG>(bottom)};
  const RECT fromArea{static_cast<LONG>(left - x), static_cast<LONG>(top - y), static_cast<LONG>(right - x),
                      static_cast<LONG>(bottom - y)};
  destination.lock(&toArea);
  source.lock(&fromArea);
  spreadChannelByte(lockedArea(source, fromArea), lockedArea(destination, toArea), read, channel);
  source.unlockAndRelease();
  destination.unlockAndRelease();
}
