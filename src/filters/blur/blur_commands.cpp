#include "filters/blur/blur_commands.h"

#include "filters/blur/binomial_blur.h"
#include "filters/blur/box_blur.h"
#include "filters/blur/gaussian_blur.h"
#include "filters/plain_image_filter.h"

#include <cstdint>

using namespace tessaly;

namespace {

// All four commands refuse render targets in these words.
constexpr std::string_view kBlurImage = "TS Blur Image";

using BlurPass = void (*)(const PixelRect&, std::int32_t);

// The passes of one direction form, by Mode 1 (box), 2 (Gaussian), 3 (binomial).
struct PassesByMode {
  BlurPass box, gaussian, binomial;

  BlurPass forMode(DWORD mode) const {
    switch (mode) {
      case 1: return box;
      case 2: return gaussian;
      case 3: return binomial;
      default: return nullptr;
    }
  }
};

constexpr PassesByMode kBothDirections{boxBlur, gaussianBlur, binomialBlur};
constexpr PassesByMode kHorizontal{boxBlurHorizontal, gaussianBlurHorizontal, binomialBlurHorizontal};
constexpr PassesByMode kVertical{boxBlurVertical, gaussianBlurVertical, binomialBlurVertical};

// A radius below 1 does nothing, without even looking at the image number.
// An unknown Mode still opens, tests, locks and unlocks the image.
void blurImage(DWORD image, int radius, DWORD mode, const PassesByMode& passes) {
  if (radius < 1) return;
  const BlurPass pass = passes.forMode(mode);
  filterPlainImage(image, kBlurImage, [&](const PixelRect& pixels) {
    if (pass != nullptr) pass(pixels, radius);
  });
}

}  // namespace

extern "C" void BlurImage(DWORD image, int radius, DWORD mode) { blurImage(image, radius, mode, kBothDirections); }

extern "C" void BlurImage2(DWORD image, int radius) { blurImage(image, radius, 1, kBothDirections); }

extern "C" void BlurImage_Horizontal(DWORD image, int radius, DWORD mode) {
  blurImage(image, radius, mode, kHorizontal);
}

extern "C" void BlurImage_Vertical(DWORD image, int radius, DWORD mode) {
  blurImage(image, radius, mode, kVertical);
}
