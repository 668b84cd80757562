#include "filters/channels/channel_kernels.h"

#include "filters/channels/channel_kernel_set.h"
#include "filters/simd/kernel_table.h"

namespace tessaly {

void setChannelBits(const PixelRect& image, std::uint32_t mask, std::uint32_t value) {
  const ChannelKernels& kernels = simd::kernels<ChannelKernels>();
  for (std::uint32_t y = 0; y < image.height; ++y) kernels.setRow(image.row(y), image.width, ~mask, value);
}

void copyChannelBits(const PixelRect& source, const PixelRect& destination, std::uint32_t mask) {
  const ChannelKernels& kernels = simd::kernels<ChannelKernels>();
  for (std::uint32_t y = 0; y < destination.height; ++y) {
    kernels.copyBitsRow(source.row(y), destination.row(y), destination.width, mask);
  }
}

void spreadChannelByte(const PixelRect& source, const PixelRect& destination, ChannelRead read,
                       std::uint32_t mask) {
  const ChannelKernels& kernels = simd::kernels<ChannelKernels>();
  for (std::uint32_t y = 0; y < destination.height; ++y) {
    kernels.spreadByteRow(source.row(y), destination.row(y), destination.width, read, mask);
  }
}

}  // namespace tessaly
