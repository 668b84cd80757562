#include "filters/gradient/linear_gradient.h"

#include "filters/gradient/gradient_fill.h"
#include "filters/gradient/gradient_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tessaly {

namespace {

// Projections up to this size are integers held exactly in a double.
constexpr double kExactProjection = 0x1p52;
constexpr std::int64_t kBeyondEveryProjection = std::int64_t{1} << 53;

// The projection n = dx (x - fx) + dy (y - fy) of a pixel, in double
// precision from the integer differences, and t = n / L rounded to single
// precision. The differences are formed in 64 bits and L = dx² + dy² without
// overflow: where the 32-bit sum would not overflow this is exactly that sum,
// converted to single precision.
struct Projection {
  double fx, fy, dx, dy, length;

  explicit Projection(const LinearGradient& line)
      : fx(line.fx),
        fy(line.fy),
        dx(static_cast<double>(line.tx) - fx),
        dy(static_cast<double>(line.ty) - fy),
        length(static_cast<float>(dx * dx + dy * dy)) {}

  double rowTerm(std::uint32_t y) const { return dy * (static_cast<double>(y) - fy); }
  double at(std::uint32_t x, double rowTerm) const { return dx * (static_cast<double>(x) - fx) + rowTerm; }
  float parameter(double n) const { return static_cast<float>(n / length); }

  // Whether every projection in the image is an integer below 2^53 in
  // magnitude, so that it can be formed as n(0, y) + dx x without rounding.
  bool exactIn(const PixelRect& image) const {
    const double farX = std::max(std::fabs(fx), std::fabs(static_cast<double>(image.width) - 1.0 - fx));
    const double farY = std::max(std::fabs(fy), std::fabs(static_cast<double>(image.height) - 1.0 - fy));
    return std::fabs(dx) * farX <= kExactProjection / 2 && std::fabs(dy) * farY <= kExactProjection / 2;
  }

  // The largest projection whose t is at most 1 (t = 1 at n = L, and a
  // little beyond where n / L still rounds to 1), or 2^53 when that is past
  // every projection of an exact image.
  std::int64_t lastWithinEnd() const {
    if (length >= kExactProjection) return kBeyondEveryProjection;
    const auto withinEnd = [&](std::int64_t n) { return parameter(static_cast<double>(n)) <= 1.0f; };
    std::int64_t good = static_cast<std::int64_t>(length);
    std::int64_t bad = 0;
    for (std::int64_t step = 1;; step *= 2) {
      const std::int64_t probe = std::min(good + step, kBeyondEveryProjection);
      if (!withinEnd(probe)) {
        bad = probe;
        break;
      }
      if (probe == kBeyondEveryProjection) return probe;
      good = probe;
    }
    while (bad - good > 1) {
      const std::int64_t middle = good + (bad - good) / 2;
      (withinEnd(middle) ? good : bad) = middle;
    }
    return good;
  }
};

// The generic walk: every pixel's t as the projection gives it. Used where
// the points lie so far apart or away that projections lose integer exactness.
void paintEachPixel(const PixelRect& image, const Projection& projection, const GradientInk& ink) {
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const double rowTerm = projection.rowTerm(y);
    std::uint8_t* p = image.row(y);
    for (std::uint32_t x = 0; x < image.width; ++x, p += 4) {
      float t = projection.parameter(projection.at(x, rowTerm));
      if (ink.clamp(t)) storePixel(p, ink.paint(loadPixel(p), ink.colourAt(t)));
    }
  }
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {  // b > 0
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) { return -floorDiv(-a, b); }  // b > 0

// Where along one row n = a + dx x lies before the start (n < 0), between
// the ends (0 <= n <= last) and past the end (n > last): three runs of x,
// in the order the row meets them.
struct RowRuns {
  std::int64_t insideFirst, insideEnd;  // x range of 0 <= n <= last, clipped to the row
};

RowRuns splitRow(std::int64_t a, std::int64_t dx, std::int64_t last, std::int64_t width) {
  const auto clip = [&](std::int64_t x) { return std::clamp<std::int64_t>(x, 0, width); };
  if (dx > 0) return {clip(ceilDiv(-a, dx)), clip(floorDiv(last - a, dx) + 1)};
  if (dx < 0) return {clip(ceilDiv(a - last, -dx)), clip(floorDiv(a, -dx) + 1)};
  // dx = 0: the whole row lies on one side, taken as the first run before
  // the start, or as the last run past the end.
  if (a < 0) return {width, width};
  return {0, a <= last ? width : 0};
}

// Rows in three runs: the ends filled with Color1 or Color2 where the Mode
// asks for them, the pixels between painted by the span kernel.
void paintByRows(const PixelRect& image, const Projection& projection, const GradientInk& ink) {
  const std::int64_t last = projection.lastWithinEnd();
  const auto dx = static_cast<std::int64_t>(projection.dx);
  const auto width = static_cast<std::int64_t>(image.width);
  const LinearSpanKernel span = gradientKernels().linearSpan;
  const std::uint32_t beforeColour = ink.beforeTakesColor1 ? ink.color1 : 0;
  const std::uint32_t pastColour = ink.pastTakesColor2 ? ink.color2 : 0;
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const auto a = static_cast<std::int64_t>(projection.at(0, projection.rowTerm(y)));
    const RowRuns runs = splitRow(a, dx, last, width);
    // Before the inside run lies the start side unless n falls along x.
    const bool startSideFirst = dx >= 0;
    const bool paintFirst = startSideFirst ? ink.beforeTakesColor1 : ink.pastTakesColor2;
    const bool paintLast = startSideFirst ? ink.pastTakesColor2 : ink.beforeTakesColor1;
    std::uint8_t* row = image.row(y);
    if (paintFirst) {
      fillGradientRun(row, static_cast<std::uint32_t>(runs.insideFirst), startSideFirst ? beforeColour : pastColour,
                      ink.mask);
    }
    if (runs.insideEnd > runs.insideFirst) {
      span(row + 4 * runs.insideFirst, static_cast<std::uint32_t>(runs.insideEnd - runs.insideFirst),
           static_cast<double>(a + dx * runs.insideFirst), projection.dx, projection.length, ink);
    }
    if (paintLast) {
      fillGradientRun(row + 4 * runs.insideEnd, static_cast<std::uint32_t>(width - runs.insideEnd),
                      startSideFirst ? pastColour : beforeColour, ink.mask);
    }
  }
}

}  // namespace

void paintLinearGradient(const PixelRect& image, const LinearGradient& line, const GradientInk& ink) {
  const Projection projection(line);
  // Equal points: L = 0 makes every t not a number, and nothing changes.
  if (projection.length == 0.0 || ink.mask == 0) return;
  if (projection.exactIn(image)) {
    paintByRows(image, projection, ink);
  } else {
    paintEachPixel(image, projection, ink);
  }
}

}  // namespace tessaly
