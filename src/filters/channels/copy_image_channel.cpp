// "TS Copy Image Channel": one channel of an image spread into other channels
// of the same image.
#include "filters/channels/channel_commands.h"
#include "filters/channels/channel_kernels.h"
#include "host/failure.h"
#include "image/image_lock.h"

using namespace tessaly;

extern "C" void CopyImageChannel(DWORD image, DWORD channel, DWORD channelSource) {
  ImageLock lock;
  if (!lock.openImage(static_cast<int>(image))) return;
  // The kind of image is tested before the source mask, so a render target is
  // refused even when there would be nothing to copy.
  if (!lock.isPlain()) {
    fatalError("TS Copy Image Channel does not work with render targets.",
               "TS Copy Image Channel - Error");
  }
  const ChannelRead read = channelRead(channelSource);
  if (read.readsNothing()) return;
  lock.lock(nullptr);
  const PixelRect pixels = lock.pixels();
  spreadChannelByte(pixels, pixels, read, channel);
  lock.unlockAndRelease();
}
