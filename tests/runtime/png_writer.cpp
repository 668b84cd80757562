#include "png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace pngtest {

namespace {

int channelsOf(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
  }
}

// Holds the setjmp; nothing with a destructor lives in this frame.
bool encode(png_structp png, png_infop info, std::FILE* file, const PngPicture& picture,
            std::vector<png_color>& colours, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType,
               picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!colours.empty()) {
    png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
  }
  if (!picture.paletteAlpha.empty()) {
    png_set_tRNS(png, info, picture.paletteAlpha.data(), static_cast<int>(picture.paletteAlpha.size()),
                 nullptr);
  } else if (picture.transparentColour) {
    const auto& t = *picture.transparentColour;
    png_color_16 colour{0, t[0], t[1], t[2], t[0]};
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
  png_write_info(png, info);
  if (picture.bitDepth < 8) png_set_packing(png);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  return true;
}

}  // namespace

bool writePng(const std::string& path, const PngPicture& picture) {
  // Rows in the file's layout: 16-bit samples big-endian, smaller depths one
  // sample a byte (libpng packs them).
  const std::size_t bytesPerSample = picture.bitDepth == 16 ? 2 : 1;
  const std::size_t rowBytes = picture.width * channelsOf(picture.colorType) * bytesPerSample;
  std::vector<png_byte> data(rowBytes * picture.height);
  for (std::size_t i = 0; i < picture.samples.size() && i * bytesPerSample < data.size(); ++i) {
    if (bytesPerSample == 2) {
      data[2 * i] = static_cast<png_byte>(picture.samples[i] >> 8);
      data[2 * i + 1] = static_cast<png_byte>(picture.samples[i]);
    } else {
      data[i] = static_cast<png_byte>(picture.samples[i]);
    }
  }
  std::vector<png_bytep> rows(picture.height);
  for (std::size_t y = 0; y < picture.height; ++y) rows[y] = data.data() + y * rowBytes;

  std::vector<png_color> colours;
  for (const auto& c : picture.palette) colours.push_back({c[0], c[1], c[2]});

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const bool written = encode(png, info, file, picture, colours, rows);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && written;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> pngSignature() { return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}; }

namespace {
void appendBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}
}  // namespace

void appendChunk(std::vector<std::uint8_t>& file, const char type[4],
                 const std::vector<std::uint8_t>& data) {
  appendBigEndian(file, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  file.insert(file.end(), typed.begin(), typed.end());
  appendBigEndian(file, static_cast<std::uint32_t>(
                            crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

std::vector<std::uint8_t> headerData(std::uint32_t width, std::uint32_t height, int bitDepth,
                                     int colorType) {
  std::vector<std::uint8_t> data;
  appendBigEndian(data, width);
  appendBigEndian(data, height);
  data.push_back(static_cast<std::uint8_t>(bitDepth));
  data.push_back(static_cast<std::uint8_t>(colorType));
  data.push_back(0);  // compression
  data.push_back(0);  // filter
  data.push_back(0);  // interlace
  return data;
}

}  // namespace pngtest
