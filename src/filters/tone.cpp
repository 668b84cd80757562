#include "filters/tone.h"

#include "filters/byte_conversion.h"
#include "filters/plain_image_filter.h"
#include "filters/point/tone_pixels.h"

#include <algorithm>

using namespace tessaly;

namespace {

constexpr std::string_view kBrightness = "TS Set Image Brightness";
constexpr std::string_view kDesaturate = "TS Desaturate Image";
constexpr std::string_view kSaturation = "TS Modify Image Saturation";
constexpr std::string_view kNegative = "TS Negative Image";

void scaleChannels(DWORD image, const float (&factors)[4], bool withAlpha) {
  filterPlainImage(image, kBrightness, [&](const PixelRect& pixels) { brightnessPixels(pixels, factors, withAlpha); });
}

void desaturate(DWORD image, DWORD mode, std::string_view commandName) {
  filterPlainImage(image, commandName, [&](const PixelRect& pixels) {
    if (mode < 1 || mode > 3) return;  // opened, tested, locked and unlocked, unchanged
    desaturatePixels(pixels, static_cast<GreyMode>(mode));
  });
}

}  // namespace

extern "C" void SetImageBrightness(DWORD image, float red, float green, float blue) {
  scaleChannels(image, {blue, green, red, 1.0f}, false);
}

extern "C" void SetImageBrightnessA(DWORD image, float red, float green, float blue, float alpha) {
  scaleChannels(image, {blue, green, red, alpha}, true);
}

extern "C" void DesaturateImage(DWORD image, DWORD mode) { desaturate(image, mode, kDesaturate); }

extern "C" void ModifyImageSaturation(DWORD image, float percent) {
  // A NaN percent acts as 0, that is, full desaturation.
  const auto s = static_cast<float>(static_cast<double>(finiteOrZero(percent)) / 100.0);
  if (s == 1.0f) return;  // nothing to do: the image is not even opened
  if (s == 0.0f) {
    desaturate(image, 2, kDesaturate);
    return;
  }
  // Above 1 the factor is 1: the image is opened, tested and left as it was.
  filterPlainImage(image, kSaturation, [&](const PixelRect& pixels) {
    if (s < 1.0f) saturationPixels(pixels, s);
  });
}

extern "C" void NegativeImage(DWORD image) {
  filterPlainImage(image, kNegative, [](const PixelRect& pixels) { negativePixels(pixels); });
}
