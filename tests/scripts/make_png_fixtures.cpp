// Writes the PNG files the script tests load into a folder: one of every
// colour type and bit depth, and damaged ones that must be refused.
#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace pngtest;

namespace {

// An 8 x 8 RGB image with every byte different, for the damaged copies.
PngPicture patterned() {
  std::vector<std::uint16_t> samples;
  for (std::uint16_t i = 0; i < 8 * 8 * 3; ++i) samples.push_back(static_cast<std::uint16_t>((i * 37) & 0xFF));
  return pngPicture(8, 8, PNG_COLOR_TYPE_RGB, 8, samples);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_png_fixtures FOLDER\n");
    return 64;
  }
  std::error_code made;
  std::filesystem::create_directories(argv[1], made);
  const std::string folder = std::string(argv[1]) + "/";
  bool ok = true;
  const auto write = [&](const char* name, const PngPicture& png) { ok = writePng(folder + name, png) && ok; };

  write("grey8.png", pngPicture(2, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 64, 128, 255}));
  write("grey1.png", pngPicture(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0, 1, 1, 0}));
  write("grey4.png", pngPicture(2, 1, PNG_COLOR_TYPE_GRAY, 4, {3, 15}));
  write("grey16.png", pngPicture(3, 1, PNG_COLOR_TYPE_GRAY, 16, {0x0000, 0x8100, 0xFFFF}));
  write("grey_alpha.png", pngPicture(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {10, 20, 200, 255}));
  PngPicture greyKey = pngPicture(2, 1, PNG_COLOR_TYPE_GRAY, 8, {64, 65});
  greyKey.transparentColour = std::array<std::uint16_t, 3>{64, 0, 0};
  write("grey_trns.png", greyKey);

  PngPicture palette = pngPicture(4, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 1});
  palette.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  palette.paletteAlpha = {0, 128};
  write("palette.png", palette);
  PngPicture palette2 = pngPicture(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {2, 0, 1});
  palette2.palette = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  write("palette2.png", palette2);

  write("rgb.png", pngPicture(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 128, 0}));
  PngPicture rgbKey = pngPicture(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 128, 0});
  rgbKey.transparentColour = std::array<std::uint16_t, 3>{250, 128, 0};
  write("rgb_trns.png", rgbKey);
  write("rgba.png", pngPicture(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4, 255, 0, 128, 0}));
  write("rgba16.png", pngPicture(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16,
                           {0x8100, 0xFFFF, 0x0000, 0x7F80, 0x0101, 0x80FF, 0xFEFF, 0xFFFF}));
  // Pixel i of 3 x 3: red 20 i, green 255 - 20 i, blue i, alpha 255 - i.
  PngPicture interlaced = pngPicture(3, 3, PNG_COLOR_TYPE_RGB_ALPHA, 8, {});
  for (std::uint16_t i = 0; i < 9; ++i) {
    interlaced.samples.insert(interlaced.samples.end(),
                              {static_cast<std::uint16_t>(20 * i), static_cast<std::uint16_t>(255 - 20 * i), i,
                               static_cast<std::uint16_t>(255 - i)});
  }
  interlaced.interlaced = true;
  write("interlaced.png", interlaced);
  // The widest image allowed, and one pixel more.
  write("widest.png", pngPicture(16384, 1, PNG_COLOR_TYPE_GRAY, 1, {}));

  // Damaged and refused files.
  write("patterned.png", patterned());
  const std::vector<std::uint8_t> good = readBytes(folder + "patterned.png");
  writeBytes(folder + "truncated.png", std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(good.size() / 2)));
  // The first chunk after IHDR is IDAT (8 + 25 bytes in); its CRC follows its data.
  std::vector<std::uint8_t> badCrc = good;
  const std::size_t idatLength = (std::size_t{good[33]} << 24) | (std::size_t{good[34]} << 16) |
                                 (std::size_t{good[35]} << 8) | good[36];
  badCrc[41 + idatLength] ^= 0x55;
  writeBytes(folder + "crc.png", badCrc);
  writeBytes(folder + "no_end.png", std::vector<std::uint8_t>(good.begin(), good.end() - 12));

  const auto headerOnly = [&](const char* name, std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> file = pngSignature();
    appendChunk(file, "IHDR", headerData(width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA));
    appendChunk(file, "IEND", {});
    writeBytes(folder + name, file);
  };
  headerOnly("wider.png", 16385, 1);
  headerOnly("absurd.png", 0x7FFFFFFF, 0x7FFFFFFF);
  headerOnly("zero.png", 0, 4);
  writeBytes(folder + "text.png", {'n', 'o', 't', ' ', 'a', ' ', 'P', 'N', 'G', '\n'});
  writeBytes(folder + "empty.png", {});

  if (!ok) std::fprintf(stderr, "make_png_fixtures: a fixture could not be written\n");
  return ok ? 0 : 1;
}
