#include "filters/convolution/sharpen.h"

#include "filters/convolution/convolution_kernels.h"
#include "filters/convolution/convolution_scratch.h"
#include "filters/plain_image_filter.h"

#include <algorithm>
#include <cstring>

namespace tessaly {

std::uint32_t sharpenCopyPitch(const PixelRect& image) {
  return std::max(static_cast<std::uint32_t>(std::max(image.pitch, 0)), image.width * 4);
}

// The copy is filled one row ahead of the row being filtered, so the three
// rows each output row reads are still in the cache when it reads them.
void sharpenImage(const PixelRect& image, std::uint8_t* copy) {
  if (image.width < 3 || image.height < 3) return;  // no inner pixel
  const std::size_t copyPitch = sharpenCopyPitch(image);
  const std::size_t rowBytes = std::size_t{image.width} * 4;
  const auto copyRow = [&](std::uint32_t y) { return copy + y * copyPitch; };
  const SharpenRowKernel sharpenRow = convolutionKernels().sharpenRow;
  std::memcpy(copyRow(0), image.row(0), rowBytes);
  std::memcpy(copyRow(1), image.row(1), rowBytes);
  for (std::uint32_t y = 1; y + 1 < image.height; ++y) {
    std::memcpy(copyRow(y + 1), image.row(y + 1), rowBytes);
    sharpenRow(image.row(y), copyRow(y - 1), copyRow(y), copyRow(y + 1), image.width);
  }
}

}  // namespace tessaly

using namespace tessaly;

extern "C" void SharpenImage(DWORD image) {
  filterPlainImage(image, "TS Sharpen Image", [](const PixelRect& pixels) {
    const ConvolutionScratch copy(std::uint64_t{sharpenCopyPitch(pixels)} * pixels.height);
    sharpenImage(pixels, copy.data());
  });
}
