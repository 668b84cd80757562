// The paste loops in SSE2, the baseline of every build.
#include "draw/paste/paste_kernel.h"
#include "draw/paste/paste_ops_sse2.h"

namespace tessaly {

const PasteKernelSet& sse2PasteKernels() {
  static const PasteKernelSet kernels = paste::makePasteKernelSet<paste::PasteSse2>();
  return kernels;
}

}  // namespace tessaly
