#include "filters/blur/binomial_blur.h"

#include "filters/blur/binomial_kernel_memory.h"
#include "filters/blur/binomial_weights.h"
#include "filters/blur/blur_arithmetic.h"
#include "filters/blur/blur_kernel_set.h"
#include "filters/blur/blur_scratch.h"
#include "filters/blur/box_divisors.h"
#include "filters/blur/line_walk.h"
#include "filters/blur/pixel_lines.h"
#include "filters/blur/scratch_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tessaly {

namespace {

static_assert(kBinomialMaxRadius == static_cast<std::int32_t>(kBinomialExactRadius));

// How one direction is filtered: rows one at a time through a padded copy;
// columns in blocks, in place, holding the window's rows in a ring; columns
// left over (fewer than a vector's width) gathered into a row and back.
struct BinomialLayout {
  std::uint32_t length = 0;
  std::uint32_t pad = 0;
  std::uint32_t verticalBytes = 0;
  std::uint64_t gathered = 0, paddedBytes = 0, paddedValues = 0, halves = 0, reciprocals = 0, totals = 0;
  std::uint64_t pairs = 0, firstSums = 0, exactTotals = 0, firstSumRows = 0;
  std::uint64_t ring = 0, byteRing = 0, zeroRow = 0, rowTotals = 0;
};

// Column blocks are as wide as keeps their ring within the first-level cache.
constexpr std::uint64_t kRingBudget = 32 * 1024;
// The two-level kernel's rings are wide (doubles, and pairs below them): its
// blocks are kept within the second-level cache instead, which measures
// faster than blocks a few vectors wide.
constexpr std::uint64_t kTwoLevelRingBudget = 256 * 1024;

// The radius of the double sums over the radius-12 sums in the two-level form.
std::uint32_t outerRadius(std::uint32_t r) { return r - kBinomialPairRadius; }
// The paired kernel's ring (one slot per pair row of the window) and its two
// rows of first sums, in bytes per byte of block width.
std::uint64_t pairRingPerByte(std::uint32_t r) {
  return 4 * (std::min<std::uint64_t>(2 * std::uint64_t{r}, kBinomialPairDegree) + 1) + 4;
}

BinomialLayout binomialLayout(const PixelRect& image, Direction direction, std::uint32_t r,
                              const BlurKernelSet& kernels, ScratchLayout& scratch) {
  BinomialLayout layout{};
  layout.length = lineLength(image, direction);
  const BinomialForm form = binomialForm(r);
  const std::uint64_t n = layout.length;
  const std::uint64_t chunkPixels = kernels.chunk / 4;
  // Every line (rows, and columns left over) can go through the row kernel.
  // The paired kernels build pairs up to two steps past the last chunk's
  // window, from first sums of up to 8 pixels.
  layout.pad = static_cast<std::uint32_t>(r + (binomialFormUsesPairs(form) ? 3 * chunkPixels + 8 : chunkPixels));
  const std::uint64_t paddedPixels = n + 2 * std::uint64_t{layout.pad};
  const std::uint64_t positions = n + chunkPixels;
  layout.gathered = scratch.reserve(direction == Direction::vertical ? 4 * n : 0);
  if (form == BinomialForm::shortSums) {
    layout.paddedBytes = scratch.reserve(4 * paddedPixels);
    layout.halves = scratch.reserve(16 * positions);
    layout.reciprocals = scratch.reserve(16 * positions);
  } else if (form == BinomialForm::pairs) {
    layout.paddedBytes = scratch.reserve(4 * paddedPixels);
    layout.pairs = scratch.reserve(16 * paddedPixels);
    layout.firstSums = scratch.reserve(8 * paddedPixels);
    layout.exactTotals = scratch.reserve(sizeof(std::uint32_t) * n);
  } else {
    if (form == BinomialForm::twoLevel) {
      layout.paddedBytes = scratch.reserve(4 * paddedPixels);
      layout.pairs = scratch.reserve(16 * paddedPixels);
      layout.firstSums = scratch.reserve(8 * paddedPixels);
    }
    layout.paddedValues = scratch.reserve(4 * sizeof(double) * paddedPixels);
    layout.totals = scratch.reserve(4 * sizeof(double) * positions);
  }
  if (direction == Direction::vertical) {
    // Ring bytes per byte of block width (two-level form: the doubles' ring, then the
    // paired kernel's).
    const std::uint32_t doubleRadius = form == BinomialForm::twoLevel ? outerRadius(r) : r;
    const std::uint64_t doubleRing = sizeof(double) * 2 * (2 * std::uint64_t{doubleRadius} + 1);
    std::uint64_t ringPerByte = doubleRing;
    if (form == BinomialForm::shortSums) ringPerByte = r;
    if (form == BinomialForm::pairs) ringPerByte = pairRingPerByte(r);
    if (form == BinomialForm::twoLevel) ringPerByte = doubleRing + pairRingPerByte(kBinomialPairRadius);
    const std::uint64_t budget = form == BinomialForm::twoLevel ? kTwoLevelRingBudget : kRingBudget;
    layout.verticalBytes = verticalBlockBytes(image, kernels, ringPerByte, budget);
    layout.ring = scratch.reserve(ringPerByte * layout.verticalBytes);
    const bool doubleTotals = form == BinomialForm::twoLevel || form == BinomialForm::doubles;
    layout.rowTotals = scratch.reserve(doubleTotals ? sizeof(double) * n : 0);
    layout.zeroRow = scratch.reserve(layout.verticalBytes);
  }
  return layout;
}

// T / 4^r over the taps that lie on a line of n pixels around position i.
double scaledTotal(const BinomialWeights& w, std::uint32_t i, std::uint32_t n) {
  double scale = 1.0;
  for (std::uint32_t k = 0; k < w.radius; ++k) scale = scale * 0.25;
  return binomialTotal(w, binomialFirstTap(i, w.radius), binomialLastTap(i, w.radius, n)).toDouble() * scale;
}

void binomialDirection(const PixelRect& image, Direction direction, const BinomialWeights& w,
                       const BinomialLayout& layout, std::uint8_t* memory) {
  const std::uint32_t n = layout.length;
  if (n <= 1) return;  // a line of one pixel keeps it
  const std::uint32_t r = w.radius;
  const BinomialForm form = binomialForm(r);
  const BlurKernelSet& kernels = blurKernels();
  const std::uint32_t positions = n + kernels.chunk / 4;
  const std::size_t paddedValues = 4 * (std::size_t{n} + 2 * std::size_t{layout.pad});

  // Form 2's weights over the radius-12 sums: C(2h, k) / 4^r, exact.
  BinomialWeights outer{};
  if (form == BinomialForm::twoLevel) {
    outer = binomialWeights(outerRadius(r));
    double scale = 1.0;
    for (std::uint32_t k = 0; k < r; ++k) scale = scale * 0.25;
    for (std::uint32_t k = 0; k <= 2 * outer.radius; ++k) outer.scaled[k] = outer.exact[k].toDouble() * scale;
  }

  BinomialMemory m{};
  m.weights = &w;
  m.pad = layout.pad;
  if (form == BinomialForm::shortSums) {
    m.paddedBytes = memory + layout.paddedBytes;
    std::memset(m.paddedBytes, 0, paddedValues);
    auto* halves = reinterpret_cast<std::uint32_t*>(memory + layout.halves);
    auto* reciprocals = reinterpret_cast<float*>(memory + layout.reciprocals);
    for (std::uint32_t i = 0; i < positions; ++i) {
      // Positions past the end only fill the last vector; any divisor serves.
      const std::uint32_t total =
          i < n ? static_cast<std::uint32_t>(binomialTotal(w, binomialFirstTap(i, r), binomialLastTap(i, r, n)).low) : 1;
      for (int c = 0; c < 4; ++c) {
        halves[4 * std::size_t{i} + c] = total / 2;
        reciprocals[4 * std::size_t{i} + c] = reciprocalRoundedUp(total);
      }
    }
    m.halves = halves;
    m.reciprocals = reciprocals;
  } else if (form == BinomialForm::pairs) {
    m.paddedBytes = memory + layout.paddedBytes;
    std::memset(m.paddedBytes, 0, paddedValues);
    m.pairs = memory + layout.pairs;
    m.firstSums = memory + layout.firstSums;
    auto* exactTotals = reinterpret_cast<std::uint32_t*>(memory + layout.exactTotals);
    for (std::uint32_t i = 0; i < n; ++i)
      exactTotals[i] = static_cast<std::uint32_t>(binomialTotal(w, binomialFirstTap(i, r), binomialLastTap(i, r, n)).low);
    m.exactTotals = exactTotals;
  } else {
    if (form == BinomialForm::twoLevel) {
      m.paddedBytes = memory + layout.paddedBytes;
      std::memset(m.paddedBytes, 0, paddedValues);
      m.pairs = memory + layout.pairs;
      m.firstSums = memory + layout.firstSums;
      m.outerWeights = &outer;
    }
    m.paddedValues = memory + layout.paddedValues;
    std::memset(m.paddedValues, 0, paddedValues * sizeof(double));  // all-zero bytes are 0.0
    m.pixelValues = 4;
    auto* totals = reinterpret_cast<double*>(memory + layout.totals);
    for (std::uint32_t i = 0; i < positions; ++i) {
      const double total = i < n ? scaledTotal(w, i, n) : 1.0;
      for (int c = 0; c < 4; ++c) totals[4 * std::size_t{i} + c] = total;
    }
    m.totals = totals;
  }
  const auto filterRow = kernels.binomial(r).row;

  if (direction == Direction::horizontal) {
    for (std::uint32_t y = 0; y < image.height; ++y) {
      m.ahead = y + 1 < image.height ? image.row(y + 1) : nullptr;  // fetched while row y is filtered
      filterRow(imageLine(image, direction, y), m);
    }
    return;
  }
  std::uint8_t* zeroRow = memory + layout.zeroRow;
  std::memset(zeroRow, 0, layout.verticalBytes);
  m.zeroRow = zeroRow;
  if (form == BinomialForm::shortSums) {
    m.byteRing = memory + layout.ring;
  } else if (form == BinomialForm::pairs) {
    m.pairRing = memory + layout.ring;
    m.firstSumRows = m.pairRing + (pairRingPerByte(r) - 4) * std::size_t{layout.verticalBytes};
  } else {
    m.ring = memory + layout.ring;
    if (form == BinomialForm::twoLevel) {
      m.pairRing = memory + layout.ring +
                   sizeof(double) * 2 * (2 * std::size_t{outer.radius} + 1) * std::size_t{layout.verticalBytes};
      m.firstSumRows = m.pairRing + 4 * (kBinomialPairDegree + 1) * std::size_t{layout.verticalBytes};
    }
    auto* rowTotals = reinterpret_cast<double*>(memory + layout.rowTotals);
    for (std::uint32_t y = 0; y < n; ++y) rowTotals[y] = scaledTotal(w, y, n);
    m.rowTotals = rowTotals;
  }
  const auto filterBlock = kernels.binomial(r).block;
  std::uint8_t* gathered = memory + layout.gathered;
  walkLines(
      image, direction, kernels, nullptr, 1, layout.verticalBytes, [&](const RowBlock& rows) { filterBlock(rows, m); },
      [&](const PixelLine& column) {
        copyLine(column, gathered);
        filterRow(PixelLine{gathered, 4, n}, m);
        for (std::uint32_t i = 0; i < n; ++i) std::memcpy(column.pixel(i), gathered + 4 * std::size_t{i}, 4);
      });
}

void binomialBlurIn(const PixelRect& image, std::int32_t radius, bool horizontal, bool vertical) {
  if (radius < 1 || image.width == 0 || image.height == 0) return;
  const auto r = static_cast<std::uint32_t>(std::min(radius, kBinomialMaxRadius));
  const BlurKernelSet& kernels = blurKernels();
  ScratchLayout acrossScratch, downScratch;
  const BinomialLayout across = binomialLayout(image, Direction::horizontal, r, kernels, acrossScratch);
  const BinomialLayout down = binomialLayout(image, Direction::vertical, r, kernels, downScratch);
  const std::uint64_t bytes = std::max(horizontal ? acrossScratch.size() : 0, vertical ? downScratch.size() : 0);
  ScratchArray<std::uint8_t> memory(bytes, kBlurMemoryCaption);
  if (!memory) return;
  const BinomialWeights weights = binomialWeights(r);
  if (horizontal) binomialDirection(image, Direction::horizontal, weights, across, memory.data());
  if (vertical) binomialDirection(image, Direction::vertical, weights, down, memory.data());
}

}  // namespace

void binomialBlurHorizontal(const PixelRect& image, std::int32_t radius) {
  binomialBlurIn(image, radius, true, false);
}
void binomialBlurVertical(const PixelRect& image, std::int32_t radius) {
  binomialBlurIn(image, radius, false, true);
}
void binomialBlur(const PixelRect& image, std::int32_t radius) { binomialBlurIn(image, radius, true, true); }

}  // namespace tessaly
