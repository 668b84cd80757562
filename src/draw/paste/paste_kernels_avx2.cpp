// The paste loops in AVX2, used only when the processor has it. Everything
// this unit shares with others is included before the target switch, so only
// the templates instantiated here for AVX2 carry AVX2 code.
#include "draw/paste/paste_kernel_set.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx2,fma")

#include "draw/paste/alpha_blend_bytes_avx2.h"
#include "draw/paste/paste_kernel.h"
#include "filters/simd/avx2.h"
#include "filters/simd/pixel_lanes_avx2.h"

namespace tessaly::simd {

template <>
const PasteKernelSet& kernelTable<PasteKernelSet, Avx2>() {
  static constexpr PasteKernelSet table = paste::makePasteKernelSet<Avx2, paste::AlphaBlendBytesAvx2>();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
