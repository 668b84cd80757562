// Bilinear resize with every intermediate value rounded to a float: the
// weights of a column are the same on every row, so each strip plans its
// columns once; a source row is interpolated along the strip once and kept
// while the rows that need it are written.
#include "filters/geometry/geometry_kernel_set.h"
#include "filters/geometry/resize_kernels.h"
#include "filters/simd/kernel_table.h"

#include <xmmintrin.h>

#include <algorithm>

namespace tessaly {

namespace {

// Where destination index i samples: the integer part and fraction of
// clamp(size * (i / newSize) - 0.5, 0, size - 1), each step in float.
struct Sample {
  std::uint32_t index;
  float fraction;
};

Sample samplePosition(std::uint32_t i, std::uint32_t size, std::uint32_t newSize) {
  // i / newSize rounded once to a float (the double quotient is exact enough
  // that rounding it again to a float is the same as rounding the true one).
  const float t = static_cast<float>(static_cast<double>(i) / static_cast<double>(newSize));
  const float last = static_cast<float>(size - 1);
  float f = static_cast<float>(size) * t;
  f = f - 0.5f;
  if (f < 0.0f) f = 0.0f;
  if (f >= last) f = last;
  std::uint32_t index = static_cast<std::uint32_t>(f);
  // Only sizes beyond 2^24 (where size - 1 may round up) could land past the
  // last pixel; such a sample takes the last pixel.
  if (index > size - 1) return {size - 1, 0.0f};
  return {index, f - static_cast<float>(index)};
}

// The samples of the strip's columns, and where its vectors may be windowed.
void planColumns(BilinearScratch& plan, std::uint32_t first, std::uint32_t count, std::uint32_t oldWidth,
                 std::uint32_t newWidth, std::uint32_t window) {
  for (std::uint32_t i = 0; i < count; ++i) {
    const Sample s = samplePosition(first + i, oldWidth, newWidth);
    plan.leftColumn[i] = s.index;
    plan.rightColumn[i] = s.index + 1 < oldWidth ? s.index + 1 : s.index;
    plan.rightWeight[i] = s.fraction;
    plan.leftWeight[i] = 1.0f - s.fraction;
  }
  plan.windows = planWindows(plan.leftColumn, count, window, true, oldWidth);
}

// The two interpolated source rows a strip keeps, by source row number.
class RowCache {
 public:
  RowCache(const GeometryKernels& kernels, const PixelRect& source, const BilinearScratch& plan,
           float (&rows)[2][4 * kStripColumns], std::uint32_t count)
      : kernels_(kernels), source_(source), plan_(plan), rows_(rows), count_(count) {}

  // Row r interpolated, without giving up the buffer `keep` (null: none)
  // and, where there is a choice, keeping row r + 1, the next one needed.
  const float* get(std::uint32_t r, const float* keep) {
    for (int k = 0; k < 2; ++k) {
      if (held_[k] == r) return rows_[k];
    }
    int k = 0;
    if (rows_[0] == keep || (rows_[1] != keep && held_[0] == r + 1)) k = 1;
    kernels_.interpolateRow(source_.row(r), plan_, count_, rows_[k]);
    held_[k] = r;
    return rows_[k];
  }

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  const GeometryKernels& kernels_;
  const PixelRect& source_;
  const BilinearScratch& plan_;
  float (&rows_)[2][4 * kStripColumns];
  std::uint32_t count_;
  std::uint32_t held_[2] = {kNone, kNone};
};

}  // namespace

void resizeBilinear(const PixelRect& source, const ResizeTarget& target, BilinearScratch& scratch) {
  const GeometryKernels& kernels = simd::kernels<GeometryKernels>();
  const PixelRect& out = target.pixels;
  const bool stream = std::uint64_t{out.width} * out.height * 4 >= kStreamingBytes;
  for (std::uint32_t first = 0; first < out.width; first += kStripColumns) {
    const std::uint32_t count = std::min(kStripColumns, out.width - first);
    planColumns(scratch, first, count, source.width, target.width, kernels.windowPixels);
    RowCache cache(kernels, source, scratch, scratch.rows, count);
    for (std::uint32_t y = 0; y < out.height; ++y) {
      const Sample s = samplePosition(y, source.height, target.height);
      std::uint8_t* row = out.at(first, y);
      // The lower row is read only where ay > 0, never in the last row.
      const float* upper = cache.get(s.index, nullptr);
      if (s.fraction > 0.0f) {
        kernels.blendRows(upper, cache.get(s.index + 1, upper), s.fraction, count, stream, row);
      } else {
        kernels.truncateRow(upper, count, stream, row);
      }
    }
  }
  if (stream) _mm_sfence();
}

}  // namespace tessaly
