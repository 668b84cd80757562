// The paste loops in SSE2, the baseline of every build.
#include "draw/paste/alpha_blend_bytes_sse2.h"
#include "draw/paste/paste_kernel.h"
#include "filters/simd/pixel_lanes_sse2.h"
#include "filters/simd/sse2.h"

namespace tessaly::simd {

template <>
const PasteKernelSet& kernelTable<PasteKernelSet, Sse2>() {
  static constexpr PasteKernelSet table = paste::makePasteKernelSet<Sse2, paste::AlphaBlendBytesSse2>();
  return table;
}

}  // namespace tessaly::simd
