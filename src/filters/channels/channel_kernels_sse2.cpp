// The channel kernels built for the SSE2 baseline.
#include "filters/channels/channel_row_kernels.h"
#include "filters/simd/kernel_table.h"
#include "filters/simd/pixel_lanes_sse2.h"

namespace tessaly::simd {

template <>
const ChannelKernels& kernelTable<ChannelKernels, Sse2>() {
  static constexpr ChannelKernels table = makeChannelKernelTable<Sse2>();
  return table;
}

}  // namespace tessaly::simd
