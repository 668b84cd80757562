#include "filters/convolution/emboss.h"

#include "filters/convolution/convolution_kernels.h"
#include "filters/convolution/convolution_scratch.h"
#include "filters/plain_image_filter.h"

namespace tessaly {

void embossImage(const PixelRect& image, std::uint8_t* grey) {
  convolutionKernels().emboss(image, grey);
}

}  // namespace tessaly

using namespace tessaly;

extern "C" void EmbossImage(DWORD image) {
  filterPlainImage(image, "TS Emboss Image", [](const PixelRect& pixels) {
    const ConvolutionScratch grey(embossGreyBytes(pixels));
    embossImage(pixels, grey.data());
  });
}
