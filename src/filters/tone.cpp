#include "filters/tone.h"

#include "filters/byte_conversion.h"
#include "filters/plain_image_filter.h"

#include <algorithm>
#include <array>
#include <cstdint>

using namespace tessaly;

namespace {

// The floats nearest to 0.31, 0.61 and 0.08, widened to double where used.
constexpr float kBlueWeight = 0.31f;
constexpr float kGreenWeight = 0.61f;
constexpr float kRedWeight = 0.08f;

constexpr std::string_view kBrightness = "TS Set Image Brightness";
constexpr std::string_view kDesaturate = "TS Desaturate Image";
constexpr std::string_view kSaturation = "TS Modify Image Saturation";
constexpr std::string_view kNegative = "TS Negative Image";

struct Channels {
  std::uint32_t b, g, r, a;
};

Channels split(std::uint32_t p) { return {p & 0xFFu, (p >> 8) & 0xFFu, (p >> 16) & 0xFFu, p >> 24}; }

std::uint32_t join(std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
  return b | (g << 8) | (r << 16) | (a << 24);
}

// A negative or NaN factor counts as 0; there is no upper limit.
float brightnessFactor(float f) { return f > 0.0f ? f : 0.0f; }

// new = trunc(c * f + 0.5), at most 255: the same for every pixel, so tabulated.
using ByteTable = std::array<std::uint8_t, 256>;
ByteTable brightnessTable(float factor) {
  ByteTable table{};
  for (unsigned c = 0; c < 256; ++c) {
    table[c] = truncateToByte(static_cast<double>(c) * static_cast<double>(factor) + 0.5);
  }
  return table;
}

void scaleChannels(DWORD image, const float (&factors)[4], bool withAlpha) {
  ByteTable tables[4];
  for (int i = 0; i < 4; ++i) tables[i] = brightnessTable(brightnessFactor(factors[i]));
  filterPlainImage(image, kBrightness, [&](const PixelRect& pixels) {
    transformPixels(pixels, [&](std::uint32_t p) {
      const Channels c = split(p);
      return join(tables[0][c.b], tables[1][c.g], tables[2][c.r], withAlpha ? tables[3][c.a] : c.a);
    });
  });
}

// trunc(0.61 G + 0.31 B + 0.08 R), the first two products added first.
std::uint32_t weightedGrey(const Channels& c) {
  const double v = static_cast<double>(kGreenWeight) * c.g + static_cast<double>(kBlueWeight) * c.b +
                   static_cast<double>(kRedWeight) * c.r;
  return truncateToByte(v);
}

std::uint32_t greyPixel(std::uint32_t p, DWORD mode) {
  const Channels c = split(p);
  std::uint32_t g = 0;
  switch (mode) {
    case 1: g = (std::max({c.r, c.g, c.b}) + std::min({c.r, c.g, c.b})) / 2; break;
    case 2: g = weightedGrey(c); break;
    case 3: g = (c.r + c.g + c.b) / 3; break;
    default: return p;
  }
  return join(g, g, g, c.a);
}

void desaturate(DWORD image, DWORD mode, std::string_view commandName) {
  filterPlainImage(image, commandName, [&](const PixelRect& pixels) {
    if (mode < 1 || mode > 3) return;  // opened, tested, locked and unlocked, unchanged
    transformPixels(pixels, [&](std::uint32_t p) { return greyPixel(p, mode); });
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
  float s = static_cast<float>(static_cast<double>(finiteOrZero(percent)) / 100.0);
  if (s == 1.0f) return;  // nothing to do: the image is not even opened
  if (s == 0.0f) {
    desaturate(image, 2, kDesaturate);
    return;
  }
  s = std::min(s, 1.0f);
  const double keep = s;
  const double toward = 1.0 - keep;
  filterPlainImage(image, kSaturation, [&](const PixelRect& pixels) {
    transformPixels(pixels, [&](std::uint32_t p) {
      const Channels c = split(p);
      const double luma = (static_cast<double>(kBlueWeight) * c.b + static_cast<double>(kGreenWeight) * c.g) +
                          static_cast<double>(kRedWeight) * c.r;
      const double k = static_cast<float>(luma * toward);
      // Below 0 (Percent below 0) the channel is 0; above 255 it is 255.
      return join(truncateToByte(c.b * keep + k), truncateToByte(c.g * keep + k),
                  truncateToByte(c.r * keep + k), c.a);
    });
  });
}

extern "C" void NegativeImage(DWORD image) {
  filterPlainImage(image, kNegative, [](const PixelRect& pixels) {
    transformPixels(pixels, [](std::uint32_t p) { return p ^ 0x00FFFFFFu; });
  });
}
