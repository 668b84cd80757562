// The paste loops in AVX2, used only when the processor has it. Everything
// this unit shares with others is included before the target switch, so only
// the templates instantiated here for AVX2 carry AVX2 code.
#include "draw/paste/paste_kernel_set.h"
#include "image/pixel_rect.h"

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#pragma GCC push_options
#pragma GCC target("avx2")

#include "draw/paste/paste_kernel.h"
#include "draw/paste/paste_ops_avx2.h"

namespace tessaly {

const PasteKernelSet& avx2PasteKernels() {
  static const PasteKernelSet kernels = paste::makePasteKernelSet<paste::PasteAvx2>();
  return kernels;
}

}  // namespace tessaly

#pragma GCC pop_options
