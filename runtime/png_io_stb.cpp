// PNG files through the header-only stb_image and stb_image_write (Debian's
// libstb-dev), for builds without libpng (the Windows tessaly-run). Same
// contract as the libpng reader and writer: before stb decodes anything, the
// file's chunks are walked and every CRC checked, so a damaged or cut-short
// file is refused as libpng refuses it; 16-bit samples round to the nearest
// 8-bit value as libpng's scaling does.
#include "png_io.h"
#include "replace_file.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wtype-limits"
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace standin {

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::uint32_t bigEndian(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

std::uint32_t crc32(const unsigned char* bytes, std::size_t length) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// Walks the chunks after the signature: each must lie inside the file with a
// matching CRC, IHDR must come first with a size above zero, and IEND must
// end the walk. Empty if the file is whole, else libpng's word for the fault.
std::string checkChunks(const std::vector<unsigned char>& file) {
  std::size_t at = sizeof kSignature;
  bool first = true;
  while (true) {
    if (file.size() - at < 12) return "the file ends too early";
    const std::uint32_t length = bigEndian(&file[at]);
    const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
    if (length > 0x7FFFFFFFu) return type + ": chunk data is too large";
    if (file.size() - at - 12 < length) return "the file ends too early";
    if (first) {
      if (type != "IHDR") return "missing IHDR";
      if (length != 13) return "IHDR: invalid";
    }
    if (crc32(&file[at + 4], std::size_t{length} + 4) != bigEndian(&file[at + 8 + length])) {
      return type + ": CRC error";
    }
    if (first && (bigEndian(&file[at + 8]) == 0 || bigEndian(&file[at + 12]) == 0)) {
      return "Invalid IHDR data";
    }
    first = false;
    at += std::size_t{length} + 12;
    if (type == "IEND") return {};
  }
}

std::optional<std::vector<unsigned char>> readWhole(std::FILE* file) {
  std::vector<unsigned char> bytes;
  unsigned char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
  if (std::ferror(file) != 0) return std::nullopt;
  return bytes;
}

// A sample as 8 bits; 16-bit ones scale as libpng scales them: to the
// nearest 8-bit value (257 is odd: no ties).
std::uint32_t to8Bits(stbi_uc v) { return v; }
std::uint32_t to8Bits(stbi_us v) { return (std::uint32_t{v} + 128) / 257; }

// stb's RGBA samples (8 or 16 bits each) as 0xAARRGGBB words; freed here.
template <class Sample>
std::optional<ImagePixels> decoded(Sample* rgba, int width, int height, std::string& error) {
  const std::unique_ptr<Sample, void (*)(void*)> samples(rgba, stbi_image_free);
  if (!samples) {
    error = std::string("damaged PNG: ") + stbi_failure_reason();
    return std::nullopt;
  }
  ImagePixels pixels{static_cast<UINT>(width), static_cast<UINT>(height), {}};
  pixels.words.resize(std::size_t{pixels.width} * pixels.height);
  for (std::size_t i = 0; i < pixels.words.size(); ++i) {
    const Sample* p = samples.get() + 4 * i;
    pixels.words[i] = (to8Bits(p[3]) << 24) | (to8Bits(p[0]) << 16) | (to8Bits(p[1]) << 8) | to8Bits(p[2]);
  }
  return pixels;
}

void writeToFile(void* context, void* data, int size) {
  auto* state = static_cast<std::pair<std::FILE*, bool>*>(context);
  if (size > 0 && std::fwrite(data, 1, static_cast<std::size_t>(size), state->first) !=
                      static_cast<std::size_t>(size)) {
    state->second = false;
  }
}

}  // namespace

PngLoad loadPng(const std::string& path) {
  PngLoad result;
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    result.error = std::strerror(errno);
    return result;
  }
  std::optional<std::vector<unsigned char>> bytes;
  try {
    bytes = readWhole(file.get());
  } catch (const std::bad_alloc&) {
    result.error = "not enough memory for the image";
    return result;
  }
  if (!bytes) {
    result.error = "damaged PNG: the file could not be read";
    return result;
  }
  if (bytes->size() < 8 || std::memcmp(bytes->data(), kSignature, 8) != 0) {
    result.error = "not a PNG file";
    return result;
  }
  if (bytes->size() >= 24 && std::memcmp(bytes->data() + 12, "IHDR", 4) == 0) {
    const std::uint32_t width = bigEndian(bytes->data() + 16);
    const std::uint32_t height = bigEndian(bytes->data() + 20);
    if (width > kMaxImageSide || height > kMaxImageSide) {
      result.error = "the image is " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels; the limit is " + std::to_string(kMaxImageSide) + " x " +
                     std::to_string(kMaxImageSide);
      return result;
    }
  }
  if (const std::string fault = checkChunks(*bytes); !fault.empty()) {
    result.error = "damaged PNG: " + fault;
    return result;
  }

  int width = 0, height = 0, channels = 0;
  const auto* data = bytes->data();
  const int size = static_cast<int>(bytes->size());
  if (stbi_is_16_bit_from_memory(data, size) != 0) {
    stbi_us* samples = stbi_load_16_from_memory(data, size, &width, &height, &channels, 4);
    result.pixels = decoded(samples, width, height, result.error);
  } else {
    stbi_uc* samples = stbi_load_from_memory(data, size, &width, &height, &channels, 4);
    result.pixels = decoded(samples, width, height, result.error);
  }
  return result;
}

std::string savePng(const std::string& path, const ImagePixels& pixels) {
  if (pixels.width == 0 || pixels.height == 0 ||
      pixels.words.size() != std::size_t{pixels.width} * pixels.height) {
    return "no pixels to save";
  }
  std::vector<unsigned char> rgba(pixels.words.size() * 4);
  for (std::size_t i = 0; i < pixels.words.size(); ++i) {
    const std::uint32_t word = pixels.words[i];
    rgba[4 * i] = static_cast<unsigned char>(word >> 16);
    rgba[4 * i + 1] = static_cast<unsigned char>(word >> 8);
    rgba[4 * i + 2] = static_cast<unsigned char>(word);
    rgba[4 * i + 3] = static_cast<unsigned char>(word >> 24);
  }
  return replaceFile(path, [&](std::FILE* file) -> std::string {
    std::pair<std::FILE*, bool> state{file, true};
    const int encoded = stbi_write_png_to_func(writeToFile, &state, static_cast<int>(pixels.width),
                                               static_cast<int>(pixels.height), 4, rgba.data(),
                                               static_cast<int>(pixels.width) * 4);
    if (encoded == 0) return "the PNG could not be encoded";
    if (!state.second) return std::strerror(errno);
    return {};
  });
}

}  // namespace standin
