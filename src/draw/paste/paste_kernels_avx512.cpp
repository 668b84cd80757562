// The paste loops for processors with AVX-512: mode 1 on 64-byte vectors, the
// other rules as in AVX2. Everything this unit shares with others is included
// before the target switch (see paste_kernels_avx2.cpp).

// GCC 12 warns that the "undefined" vectors its own AVX-512 intrinsics start
// from may be used uninitialised (a known false report inside immintrin.h).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "draw/paste/paste_kernel_set.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>

#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx2,fma")

#include "draw/paste/alpha_blend_bytes_avx512.h"
#include "draw/paste/alpha_blend_rows.h"

namespace tessaly::simd {

template <>
const PasteKernelSet& kernelTable<PasteKernelSet, Avx512>() {
  static const PasteKernelSet table = [] {
    PasteKernelSet set = kernelTable<PasteKernelSet, Avx2>();
    set.rule[static_cast<std::size_t>(PasteRule::alphaBlend)] = paste::alphaBlendRows<paste::AlphaBlendBytesAvx512>;
    return set;
  }();
  return table;
}

}  // namespace tessaly::simd

#pragma GCC pop_options
