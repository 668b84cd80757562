// Draws the example images the demo scripts use, with integer and correctly
// rounded arithmetic only, so every machine draws the same pixels.
//   tessaly-draw-examples FOLDER           writes the images into FOLDER
//   tessaly-draw-examples --check FOLDER   compares FOLDER's images with them
#include "png_io.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using standin::ImagePixels;

namespace {

std::uint32_t argb(int a, int r, int g, int b) {
  const auto byte = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// a + (b - a) * t / scale, for 0 <= t <= scale.
int mix(int a, int b, int t, int scale) { return a + (b - a) * t / scale; }

ImagePixels draw(UINT width, UINT height, const std::function<std::uint32_t(int, int)>& pixel) {
  ImagePixels image{width, height, {}};
  image.words.reserve(std::size_t{width} * height);
  for (UINT y = 0; y < height; ++y) {
    for (UINT x = 0; x < width; ++x) image.words.push_back(pixel(static_cast<int>(x), static_cast<int>(y)));
  }
  return image;
}

// Hue 0 to 359 at full saturation and value, as red, green and blue.
void hueColour(int hue, int& r, int& g, int& b) {
  const int sector = hue / 60;
  const int rising = (hue % 60) * 255 / 60;
  const int falling = 255 - rising;
  const int table[6][3] = {{255, rising, 0}, {falling, 255, 0}, {0, 255, rising},
                           {0, falling, 255}, {rising, 0, 255}, {255, 0, falling}};
  r = table[sector][0];
  g = table[sector][1];
  b = table[sector][2];
}

// A sky, a sun with a soft rim, two rows of hills and a lake that mirrors the sky.
ImagePixels landscape() {
  constexpr int width = 256;
  constexpr int height = 160;
  return draw(width, height, [](int x, int y) {
    const int horizon = 104;
    const int farHill = 78 + (x - 70) * (x - 70) / 260;
    const int nearHill = 92 + (x - 190) * (x - 190) / 180;
    if (y >= horizon) {  // the lake: the sky upside down, darker, with ripples
      const int mirrored = 2 * horizon - y;
      const int ripple = (x + 3 * y) % 11 == 0 ? 18 : 0;
      return argb(255, mix(40, 120, mirrored, horizon) + ripple, mix(70, 160, mirrored, horizon) + ripple,
                  mix(120, 200, mirrored, horizon) + ripple);
    }
    if (y >= nearHill) return argb(255, 40 + (y - nearHill) / 2, 110 - (y - nearHill), 40);
    if (y >= farHill) return argb(255, 70, 140 - (y - farHill), 80 + (x % 7));
    const int dx = x - 180;
    const int dy = y - 40;
    const double distance = std::sqrt(static_cast<double>(dx * dx + dy * dy));
    const int sky[3] = {mix(30, 150, y, horizon), mix(60, 190, y, horizon), mix(160, 235, y, horizon)};
    if (distance < 22) return argb(255, 255, 220, 90);
    if (distance < 34) {  // the rim fades from the sun into the sky
      const int t = static_cast<int>((distance - 22) * 256 / 12);
      return argb(255, mix(255, sky[0], t, 256), mix(200, sky[1], t, 256), mix(80, sky[2], t, 256));
    }
    return argb(255, sky[0], sky[1], sky[2]);
  });
}

// Twelve hues across, brighter to darker down, and a bottom band whose
// alpha falls from opaque to transparent.
ImagePixels swatches() {
  return draw(192, 128, [](int x, int y) {
    int r = 0;
    int g = 0;
    int b = 0;
    hueColour(x / 16 * 30, r, g, b);
    if (y >= 96) return argb(255 - (x * 255 / 191), r, g, b);
    const int row = y / 24;          // 0 pastel, 1 pure, 2 dark, 3 grey
    if (row == 0) return argb(255, mix(r, 255, 1, 2), mix(g, 255, 1, 2), mix(b, 255, 1, 2));
    if (row == 1) return argb(255, r, g, b);
    if (row == 2) return argb(255, r / 3, g / 3, b / 3);
    const int grey = x * 255 / 191;
    return argb(255, grey, grey, grey);
  });
}

// A lit sphere whose alpha falls to nothing at its edge, on a transparent ground.
ImagePixels orb() {
  return draw(128, 128, [](int x, int y) {
    const int dx = x - 64;
    const int dy = y - 64;
    const int squared = dx * dx + dy * dy;
    if (squared >= 56 * 56) return argb(0, 0, 0, 0);
    const double distance = std::sqrt(static_cast<double>(squared));
    const int alpha = static_cast<int>(255 - distance * 255 / 56);
    const int lx = x - 46;
    const int ly = y - 44;
    const int light = std::max(0, 255 - static_cast<int>(std::sqrt(static_cast<double>(lx * lx + ly * ly)) * 4));
    return argb(alpha, 90 + light * 165 / 255, 60 + light * 150 / 255, 200 + light * 55 / 255);
  });
}

struct Example {
  const char* file;
  ImagePixels (*draw)();
};
constexpr Example kExamples[] = {{"landscape.png", landscape}, {"swatches.png", swatches}, {"orb.png", orb}};

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: tessaly-draw-examples [--check] FOLDER\n");
    return 64;
  }
  const std::string folder = std::string(argv[argc - 1]) + "/";
  int failures = 0;
  for (const Example& example : kExamples) {
    const ImagePixels image = example.draw();
    const std::string path = folder + example.file;
    if (!check) {
      const std::string error = standin::savePng(path, image);
      if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        ++failures;
      }
      continue;
    }
    const standin::PngLoad stored = standin::loadPng(path);
    if (!stored.pixels || stored.pixels->width != image.width || stored.pixels->height != image.height ||
        stored.pixels->words != image.words) {
      std::fprintf(stderr, "%s differs from what draw_examples.cpp draws%s%s\n", path.c_str(),
                   stored.pixels ? "" : ": ", stored.pixels ? "" : stored.error.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
