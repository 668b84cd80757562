// A surface's pixels in plain memory. Every row is followed by
// kRowPaddingBytes of padding that holds a sentinel pattern, so Pitch is
// larger than the row (every pitch mistake shows) and a write past the end of
// a row can be seen when the surface is unlocked.
#pragma once

#include "d3d9/d3d9.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace swd3d {

// A rectangle of pixels, right and bottom exclusive, never empty.
struct SurfaceArea {
  UINT left;
  UINT top;
  UINT right;
  UINT bottom;
};

// The area a RECT names on a surface of the given size: the whole surface for
// null, nothing for a rectangle that is empty, inverted or reaches outside.
std::optional<SurfaceArea> areaOf(const RECT* rect, UINT width, UINT height);

// A surface is at most this many bytes, padding included, so that any byte
// offset y × Pitch + x inside it fits a signed 32-bit integer.
inline constexpr std::uint64_t kMaxSurfaceBytes = 0x7FFFFFFF;

class SurfaceMemory {
 public:
  // Zeroed pixels of bytesPerPixel bytes each; nothing when the surface would
  // exceed kMaxSurfaceBytes or the memory cannot be had.
  static std::optional<SurfaceMemory> allocate(UINT width, UINT height, UINT bytesPerPixel);

  UINT width() const { return width_; }
  UINT height() const { return height_; }
  INT pitch() const { return pitch_; }

  std::uint8_t* pixel(UINT x, UINT y) { return bytes_.data() + offsetOf(x, y); }
  const std::uint8_t* pixel(UINT x, UINT y) const { return bytes_.data() + offsetOf(x, y); }

  // Stores the low bytes of value (little-endian, one pixel's worth) in every
  // pixel of the area; where mask has a bit clear, the pixel keeps its bit.
  void fill(const SurfaceArea& area, std::uint32_t value, std::uint32_t mask = 0xFFFFFFFF);

  // Copies the pixels of a surface of the same size and pixel size; the
  // padding stays as it is.
  void copyPixelsFrom(const SurfaceMemory& source);

  struct PaddingDamage {
    UINT rows = 0;      // rows whose padding changed
    UINT firstRow = 0;  // the first of them
  };
  // Compares the padding of rows top to bottom - 1 with the sentinel and puts
  // back any byte that changed.
  PaddingDamage checkAndRestorePadding(UINT top, UINT bottom);

 private:
  SurfaceMemory(UINT width, UINT height, UINT bytesPerPixel, INT pitch,
                std::vector<std::uint8_t> bytes);

  std::size_t offsetOf(UINT x, UINT y) const {
    return std::size_t{y} * static_cast<std::size_t>(pitch_) + std::size_t{x} * bytesPerPixel_;
  }
  std::size_t rowBytes() const { return std::size_t{width_} * bytesPerPixel_; }
  void writeSentinel(UINT row);

  UINT width_;
  UINT height_;
  UINT bytesPerPixel_;
  INT pitch_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace swd3d
