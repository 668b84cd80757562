// Which pixel centres a triangle covers, by Direct3D 9's rules: vertices
// snapped to 1/256 pixel, pixel centres on integer coordinates, and a centre
// exactly on an edge covered only when that edge is a top or a left edge, so
// that triangles sharing an edge cover each pixel once. Edge tests are exact
// integer arithmetic; each row's covered run comes from three divisions.
#pragma once

#include "d3d9/raster/draw_settings.h"
#include "d3d9/raster/wide_int.h"

#include <array>
#include <cstdint>
#include <optional>

namespace swd3d::raster {

// A position in 1/256 pixel.
struct SnappedPoint {
  std::int64_t x;
  std::int64_t y;
};

inline constexpr double kSubpixelsPerPixel = 256.0;
// Snapped coordinates stay within ±2^30 pixels, where every product the edge
// tests form fits 128 bits; triangles reaching further are cut down first.
inline constexpr double kMaxSnappedPixels = 1073741824.0;

// The snapped coordinate, or nothing for NaN, infinities and values beyond
// kMaxSnappedPixels.
std::optional<std::int64_t> snapToSubpixels(double pixels);

struct RowRun {
  int left;   // first covered pixel
  int right;  // one past the last; left >= right when the row is empty
};

class TriangleCoverage {
 public:
  // Nothing when the triangle has no area, is culled, or misses the clip
  // rectangle entirely.
  static std::optional<TriangleCoverage> make(SnappedPoint a, SnappedPoint b, SnappedPoint c,
                                              CullMode cull, const ClipRect& clip);

  // The pixels two triangles cover together when they are the two halves of
  // one axis-aligned rectangle, split along a diagonal: by the top-left rule
  // the centres inside it or on its left or top side, within the clip
  // rectangle (possibly none). Nothing when the triangles are not such a
  // pair.
  static std::optional<ClipRect> splitRectangle(const std::array<SnappedPoint, 3>& first,
                                                const std::array<SnappedPoint, 3>& second,
                                                const ClipRect& clip);

  int top() const { return top_; }
  int bottom() const { return bottom_; }  // exclusive
  // The covered run of row y (top <= y < bottom), within the clip rectangle.
  RowRun row(int y) const;

  // The covered runs of rows top, top + 1, ... in turn, as row(y) gives them
  // but without a division per row: each bound's quotient and remainder
  // advance by the same amounts from row to row.
  class RowSteps {
   public:
    explicit RowSteps(const TriangleCoverage& coverage);
    RowRun next();

   private:
    struct Bound {
      std::int64_t quotient, remainder;  // floor(E / divisor) and E - quotient × divisor
      std::int64_t quotientStep, remainderStep;
      std::int64_t divisor;              // 0 for a horizontal edge: E itself steps
      bool lower;                        // a left bound, else a right one
    };
    const TriangleCoverage& coverage_;
    int y_;
    Bound bounds_[3];
  };

 private:
  // E(px, py) = -dy × 256 px + dx × 256 py + c >= inside, in 1/256² units.
  struct Edge {
    WideInt dx = 0;
    WideInt dy = 0;
    WideInt c = 0;
    int inside = 0;  // 0 on a top or left edge (centres on it are in), else 1
  };
  template <class Int>
  RowRun rowIn(int y) const;

  Edge edges_[3];
  ClipRect clip_;
  int top_ = 0;
  int bottom_ = 0;
  bool narrow_ = false;  // every product fits 64 bits
};

}  // namespace swd3d::raster
