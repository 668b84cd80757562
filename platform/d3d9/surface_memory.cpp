#include "d3d9/surface_memory.h"

#include "d3d9/device_control.h"

#include <cstring>
#include <new>
#include <utility>

namespace swd3d {

namespace {

// The padding pattern varies with the row and the byte, so that neither a
// stray pixel word nor a row shifted by whole rows can reproduce it.
std::uint8_t sentinelByte(UINT row, std::size_t offset) {
  return static_cast<std::uint8_t>(0xA5u ^ (offset * 0x3Bu) ^ (std::size_t{row} * 0x1Fu));
}

}  // namespace

std::optional<SurfaceArea> areaOf(const RECT* rect, UINT width, UINT height) {
  if (rect == nullptr) return SurfaceArea{0, 0, width, height};
  // 64-bit comparisons: LONG fields against UINT sizes, without wrap-around.
  const std::int64_t left = rect->left;
  const std::int64_t top = rect->top;
  const std::int64_t right = rect->right;
  const std::int64_t bottom = rect->bottom;
  if (left < 0 || top < 0 || left >= right || top >= bottom) return std::nullopt;
  if (right > std::int64_t{width} || bottom > std::int64_t{height}) return std::nullopt;
  return SurfaceArea{static_cast<UINT>(left), static_cast<UINT>(top), static_cast<UINT>(right),
                     static_cast<UINT>(bottom)};
}

std::optional<SurfaceMemory> SurfaceMemory::allocate(UINT width, UINT height,
                                                     UINT bytesPerPixel) {
  const std::uint64_t pitch =
      std::uint64_t{width} * bytesPerPixel + static_cast<std::uint64_t>(kRowPaddingBytes);
  if (pitch > kMaxSurfaceBytes) return std::nullopt;
  const std::uint64_t size = pitch * height;  // below 2^63: pitch < 2^31, height < 2^32
  if (size > kMaxSurfaceBytes) return std::nullopt;
  try {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size), 0);
    SurfaceMemory memory(width, height, bytesPerPixel, static_cast<INT>(pitch), std::move(bytes));
    for (UINT row = 0; row < height; ++row) memory.writeSentinel(row);
    return memory;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

SurfaceMemory::SurfaceMemory(UINT width, UINT height, UINT bytesPerPixel, INT pitch,
                             std::vector<std::uint8_t> bytes)
    : width_(width),
      height_(height),
      bytesPerPixel_(bytesPerPixel),
      pitch_(pitch),
      bytes_(std::move(bytes)) {}

void SurfaceMemory::writeSentinel(UINT row) {
  std::uint8_t* padding = pixel(0, row) + rowBytes();
  for (std::size_t i = 0; i < static_cast<std::size_t>(kRowPaddingBytes); ++i) {
    padding[i] = sentinelByte(row, i);
  }
}

namespace {

// Pixels of size bytes each: the bits under mask from value, the rest kept.
inline void fillRow(std::uint8_t* out, std::size_t count, std::size_t size, std::uint32_t value,
                    std::uint32_t mask) {
  for (std::size_t i = 0; i < count; ++i, out += size) {
    std::uint32_t word = 0;
    std::memcpy(&word, out, size);
    word = (word & ~mask) | (value & mask);
    std::memcpy(out, &word, size);
  }
}

}  // namespace

void SurfaceMemory::fill(const SurfaceArea& area, std::uint32_t value, std::uint32_t mask) {
  const std::size_t count = area.right - area.left;
  for (UINT y = area.top; y < area.bottom; ++y) {
    // A literal 4 for the common size lets the compiler vectorise that row loop.
    if (bytesPerPixel_ == 4) {
      fillRow(pixel(area.left, y), count, 4, value, mask);
    } else {
      fillRow(pixel(area.left, y), count, bytesPerPixel_, value, mask);
    }
  }
}

void SurfaceMemory::copyPixelsFrom(const SurfaceMemory& source) {
  for (UINT y = 0; y < height_; ++y) std::memcpy(pixel(0, y), source.pixel(0, y), rowBytes());
}

SurfaceMemory::PaddingDamage SurfaceMemory::checkAndRestorePadding(UINT top, UINT bottom) {
  PaddingDamage damage;
  for (UINT row = top; row < bottom; ++row) {
    const std::uint8_t* padding = pixel(0, row) + rowBytes();
    bool intact = true;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kRowPaddingBytes) && intact; ++i) {
      intact = padding[i] == sentinelByte(row, i);
    }
    if (intact) continue;
    if (damage.rows == 0) damage.firstRow = row;
    ++damage.rows;
    writeSentinel(row);
  }
  return damage;
}

}  // namespace swd3d
