#include "draw/paste/paste_kernel_set.h"

#include <cstring>

namespace tessaly {

void pastePixels(const PixelRect& source, const PixelRect& target, std::uint32_t mode) {
  const PasteRowsKernel kernel =
      simd::kernels<PasteKernelSet>().rule[static_cast<std::size_t>(pasteRuleOfMode(mode))];
  if (kernel != nullptr) kernel(source, target);
}

void copyRows(const PixelRect& source, const PixelRect& target) {
  for (std::uint32_t y = 0; y < target.height; ++y) {
    std::memcpy(target.row(y), source.row(y), std::size_t{target.width} * 4);
  }
}

}  // namespace tessaly
