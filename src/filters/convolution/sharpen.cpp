#include "filters/convolution/sharpen.h"

#include "filters/convolution/convolution_kernels.h"
#include "filters/convolution/convolution_scratch.h"
#include "filters/plain_image_filter.h"

#include <cstring>

namespace tessaly {

// Each row is copied just before it is overwritten; its copy serves as the
// middle row now and as the row above next time.
void sharpenImage(const PixelRect& image, std::uint8_t* copy) {
  if (image.width < 3 || image.height < 3) return;  // no inner pixel
  const std::size_t rowBytes = std::size_t{image.width} * 4;
  std::uint8_t* const saved[2] = {copy, copy + rowBytes};
  const SharpenRowKernel sharpenRow = convolutionKernels().sharpenRow;
  std::memcpy(saved[0], image.row(0), rowBytes);
  for (std::uint32_t y = 1; y + 1 < image.height; ++y) {
    std::uint8_t* middle = saved[y % 2];
    std::memcpy(middle, image.row(y), rowBytes);
    sharpenRow(image.row(y), saved[(y - 1) % 2], middle, image.row(y + 1), image.width);
  }
}

}  // namespace tessaly

using namespace tessaly;

extern "C" void SharpenImage(DWORD image) {
  filterPlainImage(image, "TS Sharpen Image", [](const PixelRect& pixels) {
    const ConvolutionScratch copy(sharpenCopyBytes(pixels));
    sharpenImage(pixels, copy.data());
  });
}
