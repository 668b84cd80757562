#include "png_io.h"

#include "replace_file.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace standin {

namespace {

// libpng reports errors by jumping back to a setjmp point. The functions that
// hold one (decode, encode) keep nothing with a destructor in their own frame,
// so the jump skips no clean-up; everything owned lives in their callers.

struct ErrorState {
  char message[200] = {};
};

[[noreturn]] void onPngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<ErrorState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", message);
  png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The file for libpng, after the first bytes that were read to check the
// signature and the size in the header: those are handed over first.
struct Source {
  std::FILE* file = nullptr;
  png_byte start[24] = {};
  std::size_t startLength = 0;
  std::size_t startRead = 0;
};

void readFromSource(png_structp png, png_bytep data, std::size_t length) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  const std::size_t fromStart = std::min(length, source->startLength - source->startRead);
  std::memcpy(data, source->start + source->startRead, fromStart);
  source->startRead += fromStart;
  if (std::fread(data + fromStart, 1, length - fromStart, source->file) != length - fromStart) {
    png_error(png, std::feof(source->file) != 0 ? "the file ends too early" : "the file could not be read");
  }
}

std::uint32_t bigEndian(const png_byte* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

void writeToFile(png_structp png, png_bytep data, std::size_t length) {
  auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, length, file) != length) png_error(png, std::strerror(errno));
}

void flushFile(png_structp png) {
  auto* file = static_cast<std::FILE*>(png_get_io_ptr(png));
  if (std::fflush(file) != 0) png_error(png, std::strerror(errno));
}

struct ReadStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  explicit ReadStructs(ErrorState* state) {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state, onPngError, onPngWarning);
    if (png != nullptr) info = png_create_info_struct(png);
  }
  ~ReadStructs() { png_destroy_read_struct(&png, &info, nullptr); }
  ReadStructs(const ReadStructs&) = delete;
  ReadStructs& operator=(const ReadStructs&) = delete;
};

struct WriteStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  explicit WriteStructs(ErrorState* state) {
    png = png_create_write_struct(PNG_LIBPNG_VER_STRING, state, onPngError, onPngWarning);
    if (png != nullptr) info = png_create_info_struct(png);
  }
  ~WriteStructs() { png_destroy_write_struct(&png, &info); }
  WriteStructs(const WriteStructs&) = delete;
  WriteStructs& operator=(const WriteStructs&) = delete;
};

// The limits libpng is built with by default (PNG_USER_CHUNK_MALLOC_MAX and
// PNG_USER_CHUNK_CACHE_MAX), set here since a build may leave them off.
constexpr png_alloc_size_t kMaxAncillaryChunkBytes = 8000000;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;

// Decodes into pixels.words, laid out as R, G, B, A bytes per pixel.
bool decode(png_structp png, png_infop info, Source& source, ImagePixels& pixels,
            std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &source, readFromSource);
  // Only the chunks the pixels come from are read (IHDR, PLTE, tRNS, IDAT,
  // IEND): every other chunk is skipped unread, so one whose header claims
  // gigabytes reserves nothing. libpng's own bounds on chunk memory stay set
  // as a second line.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_chunk_malloc_max(png, kMaxAncillaryChunkBytes);
  png_set_chunk_cache_max(png, kMaxAncillaryChunks);
  png_read_info(png, info);
  pixels.width = png_get_image_width(png, info);
  pixels.height = png_get_image_height(png, info);

  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != std::size_t{pixels.width} * 4) {
    png_error(png, "unexpected row layout after conversion");
  }

  pixels.words.resize(std::size_t{pixels.width} * pixels.height);
  rows.resize(pixels.height);
  auto* bytes = reinterpret_cast<png_bytep>(pixels.words.data());
  for (UINT y = 0; y < pixels.height; ++y) rows[y] = bytes + std::size_t{y} * pixels.width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);  // a file cut short after the pixels is refused too
  return true;
}

bool encode(png_structp png, png_infop info, std::FILE* file, const ImagePixels& pixels,
            std::vector<png_byte>& row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, file, writeToFile, flushFile);
  png_set_IHDR(png, info, pixels.width, pixels.height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (UINT y = 0; y < pixels.height; ++y) {
    for (UINT x = 0; x < pixels.width; ++x) {
      const std::uint32_t word = pixels.at(x, y);
      png_byte* p = row.data() + std::size_t{x} * 4;
      p[0] = static_cast<png_byte>(word >> 16);
      p[1] = static_cast<png_byte>(word >> 8);
      p[2] = static_cast<png_byte>(word);
      p[3] = static_cast<png_byte>(word >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  return true;
}

// R, G, B, A bytes as decoded, turned into 0xAARRGGBB words in place.
void bytesToWords(std::vector<std::uint32_t>& words) {
  for (std::uint32_t& word : words) {
    unsigned char p[4];
    std::memcpy(p, &word, 4);
    word = (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) |
           (std::uint32_t{p[1]} << 8) | p[2];
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
  // The signature, then the IHDR chunk's length, type, width and height: an
  // image beyond the limit is refused before libpng reads any further.
  Source source;
  source.file = file.get();
  source.startLength = std::fread(source.start, 1, sizeof source.start, file.get());
  if (source.startLength < 8 || png_sig_cmp(source.start, 0, 8) != 0) {
    result.error = "not a PNG file";
    return result;
  }
  if (source.startLength == sizeof source.start && std::memcmp(source.start + 12, "IHDR", 4) == 0) {
    const std::uint32_t width = bigEndian(source.start + 16);
    const std::uint32_t height = bigEndian(source.start + 20);
    if (width > kMaxImageSide || height > kMaxImageSide) {
      result.error = "the image is " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels; the limit is " + std::to_string(kMaxImageSide) + " x " +
                     std::to_string(kMaxImageSide);
      return result;
    }
  }

  ErrorState errorState;
  const ReadStructs structs(&errorState);
  if (structs.info == nullptr) {
    result.error = "not enough memory";
    return result;
  }
  ImagePixels pixels;
  std::vector<png_bytep> rows;
  bool decoded = false;
  try {
    decoded = decode(structs.png, structs.info, source, pixels, rows);
  } catch (const std::bad_alloc&) {
    result.error = "not enough memory for the image";
    return result;
  }
  if (!decoded) {
    result.error = std::string("damaged PNG: ") + errorState.message;
    return result;
  }
  bytesToWords(pixels.words);
  result.pixels = std::move(pixels);
  return result;
}

std::string savePng(const std::string& path, const ImagePixels& pixels) {
  if (pixels.width == 0 || pixels.height == 0 ||
      pixels.words.size() != std::size_t{pixels.width} * pixels.height) {
    return "no pixels to save";
  }
  return replaceFile(path, [&](std::FILE* file) -> std::string {
    ErrorState errorState;
    const WriteStructs structs(&errorState);
    if (structs.info == nullptr) return "not enough memory";
    std::vector<png_byte> row(std::size_t{pixels.width} * 4);
    if (!encode(structs.png, structs.info, file, pixels, row)) return errorState.message;
    return {};
  });
}

}  // namespace standin
