#include "d3d9/raster/triangle_coverage.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace swd3d::raster {

namespace {

// Coordinates below 2^23 subpixels (32768 pixels) keep every edge product
// and row bound within 64 bits.
constexpr std::int64_t kNarrowLimit = std::int64_t{1} << 23;

template <class Int>
Int floorDiv(Int numerator, Int denominator) {  // denominator > 0
  Int quotient = numerator / denominator;
  if (numerator % denominator != 0 && numerator < 0) --quotient;
  return quotient;
}

template <class Int>
Int ceilDiv(Int numerator, Int denominator) {  // denominator > 0
  return -floorDiv<Int>(-numerator, denominator);
}

std::int64_t clampToInt(WideInt value) {
  return static_cast<std::int64_t>(std::clamp<WideInt>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

std::optional<std::int64_t> snapToSubpixels(double pixels) {
  if (!(std::fabs(pixels) <= kMaxSnappedPixels)) return std::nullopt;  // NaN fails too
  // Halves round up: an edge 8/4096 pixel past a centre no longer reaches it.
  return static_cast<std::int64_t>(std::floor(pixels * kSubpixelsPerPixel + 0.5));
}

std::optional<TriangleCoverage> TriangleCoverage::make(SnappedPoint a, SnappedPoint b,
                                                       SnappedPoint c, CullMode cull,
                                                       const ClipRect& clip) {
  // Twice the signed area; positive for a clockwise turn on the screen.
  const WideInt area = static_cast<WideInt>(b.x - a.x) * (c.y - a.y) -
                        static_cast<WideInt>(b.y - a.y) * (c.x - a.x);
  if (area == 0) return std::nullopt;
  if (cull == CullMode::Clockwise && area > 0) return std::nullopt;
  if (cull == CullMode::CounterClockwise && area < 0) return std::nullopt;
  if (area < 0) std::swap(b, c);  // clockwise from here on: inside is E >= 0

  TriangleCoverage coverage;
  const SnappedPoint corners[3] = {a, b, c};
  bool narrow = true;
  for (int i = 0; i < 3; ++i) {
    const SnappedPoint from = corners[i];
    const SnappedPoint to = corners[(i + 1) % 3];
    Edge& edge = coverage.edges_[i];
    edge.dx = to.x - from.x;
    edge.dy = to.y - from.y;
    edge.c = edge.dy * from.x - edge.dx * from.y;
    // Clockwise on the screen, left edges run upwards and top edges run
    // rightwards along a row.
    const bool left = edge.dy < 0;
    const bool top = edge.dy == 0 && edge.dx > 0;
    edge.inside = left || top ? 0 : 1;
    narrow = narrow && std::abs(from.x) < kNarrowLimit && std::abs(from.y) < kNarrowLimit;
  }
  coverage.narrow_ = narrow;
  coverage.clip_ = clip;

  const std::int64_t minY = std::min({a.y, b.y, c.y});
  const std::int64_t maxY = std::max({a.y, b.y, c.y});
  const std::int64_t subpixels = static_cast<std::int64_t>(kSubpixelsPerPixel);
  coverage.top_ = static_cast<int>(
      std::max<std::int64_t>(clip.top, ceilDiv<std::int64_t>(minY, subpixels)));
  coverage.bottom_ = static_cast<int>(
      std::min<std::int64_t>(clip.bottom, floorDiv<std::int64_t>(maxY, subpixels) + 1));
  const std::int64_t minX = std::min({a.x, b.x, c.x});
  const std::int64_t maxX = std::max({a.x, b.x, c.x});
  if (coverage.top_ >= coverage.bottom_ || clip.left >= clip.right ||
      ceilDiv<std::int64_t>(minX, subpixels) >= clip.right ||
      floorDiv<std::int64_t>(maxX, subpixels) < clip.left) {
    return std::nullopt;
  }
  return coverage;
}

std::optional<ClipRect> TriangleCoverage::splitRectangle(const std::array<SnappedPoint, 3>& first,
                                                         const std::array<SnappedPoint, 3>& second,
                                                         const ClipRect& clip) {
  std::int64_t xLow = first[0].x, xHigh = xLow, yLow = first[0].y, yHigh = yLow;
  for (const auto* triangle : {&first, &second}) {
    for (const SnappedPoint& p : *triangle) {
      xLow = std::min(xLow, p.x);
      xHigh = std::max(xHigh, p.x);
      yLow = std::min(yLow, p.y);
      yHigh = std::max(yHigh, p.y);
    }
  }
  if (xLow == xHigh || yLow == yHigh) return std::nullopt;
  // Each triangle must take three distinct corners (bit 0: right, bit 1:
  // bottom), and the corners they leave out must be opposite: then they
  // share the other diagonal and each pixel centre on it falls in one.
  const auto missingCorner = [&](const std::array<SnappedPoint, 3>& triangle) {
    unsigned taken = 0;
    for (const SnappedPoint& p : triangle) {
      if ((p.x != xLow && p.x != xHigh) || (p.y != yLow && p.y != yHigh)) return -1;
      taken |= 1u << ((p.x == xHigh ? 1 : 0) | (p.y == yHigh ? 2 : 0));
    }
    switch (taken) {
      case 0b1110: return 0;
      case 0b1101: return 1;
      case 0b1011: return 2;
      case 0b0111: return 3;
      default: return -1;
    }
  };
  const int missing = missingCorner(first);
  if (missing < 0 || missingCorner(second) != (missing ^ 3)) return std::nullopt;
  // Clockwise, the left and top sides are inside edges and the right and
  // bottom sides are not: centres from ceil(low) to ceil(high) - 1.
  const std::int64_t subpixels = static_cast<std::int64_t>(kSubpixelsPerPixel);
  const auto from = [&](std::int64_t low, int limit) {
    return static_cast<int>(std::max<std::int64_t>(limit, ceilDiv<std::int64_t>(low, subpixels)));
  };
  const auto to = [&](std::int64_t high, int limit) {
    return static_cast<int>(std::min<std::int64_t>(limit, ceilDiv<std::int64_t>(high, subpixels)));
  };
  return ClipRect{from(xLow, clip.left), from(yLow, clip.top), to(xHigh, clip.right),
                  to(yHigh, clip.bottom)};
}

template <class Int>
RowRun TriangleCoverage::rowIn(int y) const {
  const Int subpixels = static_cast<Int>(static_cast<std::int64_t>(kSubpixelsPerPixel));
  Int left = clip_.left;
  Int right = clip_.right;
  for (const Edge& edge : edges_) {
    const Int dx = static_cast<Int>(edge.dx);
    const Int dy = static_cast<Int>(edge.dy);
    // E at px = 0 on this row, less the inside threshold.
    const Int k = dx * subpixels * y + static_cast<Int>(edge.c) - edge.inside;
    if (dy == 0) {
      if (k < 0) return {0, 0};
    } else if (dy < 0) {  // E grows with x: a lower bound
      left = std::max(left, ceilDiv<Int>(-k, -dy * subpixels));
    } else {  // E falls with x: an upper bound
      right = std::min(right, floorDiv<Int>(k, dy * subpixels) + 1);
    }
  }
  if (left >= right) return {0, 0};
  return {static_cast<int>(clampToInt(left)), static_cast<int>(clampToInt(right))};
}

RowRun TriangleCoverage::row(int y) const {
  return narrow_ ? rowIn<std::int64_t>(y) : rowIn<WideInt>(y);
}

TriangleCoverage::RowSteps::RowSteps(const TriangleCoverage& coverage)
    : coverage_(coverage), y_(coverage.top_), bounds_{} {
  if (!coverage.narrow_) return;  // row(y) does the wide arithmetic
  const std::int64_t subpixels = static_cast<std::int64_t>(kSubpixelsPerPixel);
  for (int i = 0; i < 3; ++i) {
    const Edge& edge = coverage.edges_[i];
    const auto dx = static_cast<std::int64_t>(edge.dx);
    const auto dy = static_cast<std::int64_t>(edge.dy);
    const std::int64_t k = dx * subpixels * y_ + static_cast<std::int64_t>(edge.c) - edge.inside;
    const std::int64_t step = dx * subpixels;
    Bound& bound = bounds_[i];
    bound.lower = dy < 0;
    if (dy == 0) {
      bound = {k, 0, step, 0, 0, false};
      continue;
    }
    const std::int64_t divisor = (dy < 0 ? -dy : dy) * subpixels;
    bound.divisor = divisor;
    bound.quotient = floorDiv<std::int64_t>(k, divisor);
    bound.remainder = k - bound.quotient * divisor;
    bound.quotientStep = floorDiv<std::int64_t>(step, divisor);
    bound.remainderStep = step - bound.quotientStep * divisor;
  }
}

RowRun TriangleCoverage::RowSteps::next() {
  const TriangleCoverage& c = coverage_;
  if (!c.narrow_) return c.row(y_++);
  ++y_;
  std::int64_t left = c.clip_.left;
  std::int64_t right = c.clip_.right;
  bool empty = false;
  for (Bound& bound : bounds_) {
    if (bound.divisor == 0) {  // horizontal: the whole row is in or out
      empty = empty || bound.quotient < 0;
      bound.quotient += bound.quotientStep;
      continue;
    }
    if (bound.lower) {
      left = std::max(left, -bound.quotient);
    } else {
      right = std::min(right, bound.quotient + 1);
    }
    bound.quotient += bound.quotientStep;
    bound.remainder += bound.remainderStep;
    if (bound.remainder >= bound.divisor) {
      bound.remainder -= bound.divisor;
      ++bound.quotient;
    }
  }
  if (empty || left >= right) return {0, 0};
  return {static_cast<int>(left), static_cast<int>(right)};
}

}  // namespace swd3d::raster
