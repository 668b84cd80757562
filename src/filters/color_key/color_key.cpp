#include "filters/color_key/color_key.h"

#include "filters/color_key/color_key_kernels.h"
#include "filters/plain_image_filter.h"

namespace tessaly {

void keyColourHard(const PixelRect& image, std::uint32_t colour) { colorKeyKernels().hardKey(image, colour); }

void keyColourSoft(const PixelRect& image, std::uint32_t colour) { colorKeyKernels().softKey(image, colour); }

void replaceColour(const PixelRect& image, std::uint32_t replacement, std::uint32_t source) {
  colorKeyKernels().replace(image, replacement, source);
}

}  // namespace tessaly

using namespace tessaly;

namespace {

// Both colour-key forms refuse render targets in these words: "To" with a
// capital, and "with" where the other filters say "on".
constexpr RenderTargetRefusal kColorKeyRefusal{"TS Set Color To Alpha does not work with render targets.",
                                               "TS Set Color To Alpha - Error"};

}  // namespace

extern "C" void ColorToAlphaHard(DWORD image, DWORD color) {
  filterPlainImage(image, kColorKeyRefusal, [&](const PixelRect& pixels) { keyColourHard(pixels, color); });
}

// Mode 0 is the hard key; any other Mode the soft one.
extern "C" void ColorToAlphaSoft(DWORD image, DWORD color, DWORD mode) {
  filterPlainImage(image, kColorKeyRefusal, [&](const PixelRect& pixels) {
    if (mode == 0) {
      keyColourHard(pixels, color);
    } else {
      keyColourSoft(pixels, color);
    }
  });
}

extern "C" void ReplaceImageColor(DWORD image, DWORD newColor, DWORD sourceColor) {
  filterPlainImage(image, "TS Replace Image Color",
                   [&](const PixelRect& pixels) { replaceColour(pixels, newColor, sourceColor); });
}
