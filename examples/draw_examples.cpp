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

// A deterministic grain in -spread ... spread from the pixel's position.
int grain(int x, int y, int spread) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<int>((h ^ (h >> 16)) % static_cast<std::uint32_t>(2 * spread + 1)) - spread;
}

// How much of the pixel at distance d from a shape's centre lies inside its
// radius r, in 256ths: a soft edge one pixel wide.
int coverage(double d, double r) { return std::clamp(static_cast<int>((r + 0.5 - d) * 256), 0, 256); }

double distanceTo(int x, int y, int cx, int cy) {
  const double dx = x - cx;
  const double dy = y - cy;
  return std::sqrt(dx * dx + dy * dy);
}

// Colour c laid over `under` with coverage c256 in 256ths.
std::uint32_t over(std::uint32_t under, int r, int g, int b, int c256) {
  const int ur = static_cast<int>((under >> 16) & 0xFF);
  const int ug = static_cast<int>((under >> 8) & 0xFF);
  const int ub = static_cast<int>(under & 0xFF);
  return argb(255, mix(ur, r, c256, 256), mix(ug, g, c256, 256), mix(ub, b, c256, 256));
}

// A small robot on a magenta key colour; its outline blends into the magenta,
// as a sprite drawn with smoothed edges does.
ImagePixels sprite() {
  return draw(96, 96, [](int x, int y) {
    std::uint32_t c = argb(255, 255, 0, 255);
    const int shade = std::max(0, 90 - static_cast<int>(distanceTo(x, y, 36, 38) * 2));
    c = over(c, 40 + shade, 150 + shade, 140 + shade / 2, coverage(distanceTo(x, y, 48, 54), 33));
    if (x >= 46 && x <= 49 && y >= 10 && y <= 22) c = argb(255, 90, 90, 100);
    c = over(c, 230, 50, 40, coverage(distanceTo(x, y, 48, 10), 5));
    for (const int ex : {36, 60}) {
      c = over(c, 250, 250, 245, coverage(distanceTo(x, y, ex, 48), 9));
      c = over(c, 20, 30, 60, coverage(distanceTo(x, y, ex + 2, 50), 4));
    }
    if (y >= 66 && y <= 70 && x >= 36 && x <= 60) c = argb(255, 30, 60, 55);
    return c;
  });
}

// A still life with soft light and a little grain, as a photograph has: a
// wall, a wooden table, two balls and their shadows.
ImagePixels stillLife() {
  return draw(256, 176, [](int x, int y) {
    const int noise = grain(x, y, 5);
    const bool table = y >= 118;
    int r = table ? 120 + (x * 7 + y * y / 9) % 23 : mix(190, 140, y, 118);
    int g = table ? 80 + (x * 7 + y * y / 9) % 17 : mix(180, 130, y, 118);
    int b = table ? 50 : mix(165, 120, y, 118);
    std::uint32_t c = argb(255, r + noise, g + noise, b + noise);
    // Shadows: darker ellipses on the table, soft at the edge.
    for (const auto& [sx, sr] : {std::pair{96, 34}, std::pair{178, 24}}) {
      const double d = distanceTo(x, 2 * (y - 140) + 140, sx, 140);
      const int dark = coverage(d / 1.4, sr) / 3;
      c = over(c, 40, 28, 20, dark);
    }
    // Balls lit from the upper left.
    const struct {
      int cx, cy, radius, r, g, b;
    } balls[] = {{80, 112, 30, 200, 40, 35}, {170, 124, 20, 50, 90, 190}};
    for (const auto& ball : balls) {
      const double d = distanceTo(x, y, ball.cx, ball.cy);
      if (d > ball.radius + 1) continue;
      const double light = std::max(0.0, 1.0 - distanceTo(x, y, ball.cx - ball.radius / 3, ball.cy - ball.radius / 3) /
                                                 (1.6 * ball.radius));
      const int lit = static_cast<int>(light * 255);
      c = over(c, ball.r / 3 + lit * 2 / 3 + noise, ball.g / 3 + lit / 2 + noise, ball.b / 3 + lit / 2 + noise,
               coverage(d, ball.radius));
    }
    return c;
  });
}

struct Example {
  const char* file;
  ImagePixels (*draw)();
};
constexpr Example kExamples[] = {{"landscape.png", landscape}, {"swatches.png", swatches}, {"orb.png", orb},
                                 {"sprite.png", sprite},       {"still-life.png", stillLife}};

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
