#include "filters/blur/box_blur.h"

#include "filters/blur/blur_arithmetic.h"
#include "filters/blur/blur_kernel_set.h"
#include "filters/blur/blur_scratch.h"
#include "filters/blur/box_divisors.h"
#include "filters/blur/line_walk.h"
#include "filters/blur/pixel_lines.h"
#include "filters/blur/scratch_layout.h"

#include <algorithm>
#include <cstdint>

namespace tessaly {

namespace {

// One line through the running sums: `in` holds the line's original pixels,
// the results go to the line itself. A radius at or past the line's length
// acts as length − 1, whose window already spans the whole line, so every
// pixel becomes the line's mean and nothing outside the line is read.
void boxLine(const std::uint8_t* in, const PixelLine& line, std::uint32_t radius) {
  const std::uint64_t n = line.length;
  const std::uint64_t r = std::min<std::uint64_t>(radius, n - 1);
  std::uint64_t sum[4] = {};
  for (std::uint64_t j = 0; j <= r; ++j)
    for (int c = 0; c < 4; ++c) sum[c] += in[4 * j + c];
  std::uint64_t count = r + 1;
  for (std::uint64_t i = 0; i < n; ++i) {
    std::uint8_t* out = line.pixel(static_cast<std::uint32_t>(i));
    for (int c = 0; c < 4; ++c) out[c] = roundedMean(sum[c], count);
    if (i + r + 1 < n) {
      for (int c = 0; c < 4; ++c) sum[c] += in[4 * (i + r + 1) + c];
    } else {
      --count;
    }
    if (i >= r) {
      for (int c = 0; c < 4; ++c) sum[c] -= in[4 * (i - r) + c];
    } else {
      ++count;
    }
  }
}

// How one direction is filtered: its line length, the radius cut to it, the
// largest window count, and the vector form that count allows.
struct BoxDirection {
  Direction direction;
  std::uint32_t length;
  std::uint32_t radius;
  std::uint32_t largestCount;
  int lanes;  // 16 or 32 for the vector kernels; 0 when every line goes one by one

  BoxDirection(const PixelRect& image, Direction d, std::uint32_t r) : direction(d), length(lineLength(image, d)) {
    radius = static_cast<std::uint32_t>(std::min<std::uint64_t>(r, length - 1));
    largestCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(2 * std::uint64_t{radius} + 1, length));
    lanes = largestCount <= kShortDivisorMaxCount ? 16 : largestCount <= kFloatDivisorMaxCount ? 32 : 0;
  }
  bool changesPixels() const { return length > 1; }
};

// The parts of the pass's working memory, as offsets into one allocation.
// Rows go one at a time through a padded copy; columns in blocks, in place,
// keeping the rows they overwrite in the ring.
struct BoxLayout {
  std::uint64_t lineCopy, padded, halves, rowReciprocals, ring, sums, zeroRow, shortDivisors, reciprocals;
  std::uint32_t pad = 0;
  std::uint32_t verticalBytes = 0;
};

// Column blocks are as wide as keeps their ring within this.
constexpr std::uint64_t kRingBudget = 256 * 1024;

BoxLayout boxLayout(const PixelRect& image, const BoxDirection& d, const BlurKernelSet& kernels, ScratchLayout& scratch) {
  BoxLayout layout{};
  const bool across = d.direction == Direction::horizontal;
  const std::uint64_t chunkPixels = kernels.chunk / 4;
  const std::uint64_t ringRows = std::uint64_t{d.radius} + 1;
  layout.lineCopy = scratch.reserve(4 * std::uint64_t{d.length});
  if (d.lanes == 0) return layout;
  if (across) {
    layout.pad = static_cast<std::uint32_t>(d.radius + 1 + chunkPixels);
    layout.padded = scratch.reserve(4 * (std::uint64_t{d.length} + 2 * std::uint64_t{layout.pad}));
    layout.halves = scratch.reserve(16 * (d.length + chunkPixels));
    layout.rowReciprocals = scratch.reserve(16 * (d.length + chunkPixels));
  } else {
    layout.verticalBytes = verticalBlockBytes(image, kernels, ringRows, kRingBudget);
    layout.ring = scratch.reserve(ringRows * layout.verticalBytes);
    layout.sums = scratch.reserve(4 * std::uint64_t{layout.verticalBytes});
    layout.zeroRow = scratch.reserve(layout.verticalBytes);
  }
  layout.shortDivisors = scratch.reserve(d.lanes == 16 ? (std::uint64_t{d.largestCount} + 1) * sizeof(ShortDivisor) : 0);
  layout.reciprocals = scratch.reserve(d.lanes == 32 ? (std::uint64_t{d.largestCount} + 1) * sizeof(float) : 0);
  return layout;
}

// The divisors of every count that occurs: radius + 1 up to the largest.
BoxBlockMemory boxDivisors(const BoxDirection& d, const BoxLayout& layout, std::uint8_t* memory) {
  BoxBlockMemory block{};
  if (d.lanes == 16) {
    auto* divisors = reinterpret_cast<ShortDivisor*>(memory + layout.shortDivisors);
    for (std::uint32_t c = d.radius + 1; c <= d.largestCount; ++c) divisors[c] = shortDivisor(c);
    block.shortDivisors = divisors;
  } else {
    auto* reciprocals = reinterpret_cast<float*>(memory + layout.reciprocals);
    for (std::uint32_t c = d.radius + 1; c <= d.largestCount; ++c) reciprocals[c] = reciprocalRoundedUp(c);
    block.reciprocals = reciprocals;
  }
  return block;
}

// The rows of an image through the row kernel, one at a time.
class BoxRowFilter {
 public:
  BoxRowFilter(const PixelRect& image, const BoxDirection& d, const BoxLayout& layout, std::uint8_t* memory)
      : image_(image), radius_(d.radius) {
    const BlurKernelSet& kernels = blurKernels();
    memory_.block = boxDivisors(d, layout, memory);
    memory_.pad = layout.pad;
    memory_.padded = memory + layout.padded;
    std::fill(memory_.padded, memory_.padded + 4 * (std::uint64_t{d.length} + 2 * std::uint64_t{layout.pad}), 0);
    auto* halves = reinterpret_cast<std::uint32_t*>(memory + layout.halves);
    auto* reciprocals = reinterpret_cast<float*>(memory + layout.rowReciprocals);
    const std::uint32_t positions = d.length + kernels.chunk / 4;
    for (std::uint32_t x = 0; x < positions; ++x) {
      // Positions past the row's end only fill the last vector; any count serves.
      const std::uint32_t count = x < d.length ? windowCount(x, d.radius, d.length) : 1;
      const float reciprocal = reciprocalRoundedUp(count);
      for (int c = 0; c < 4; ++c) {
        halves[4 * std::size_t{x} + c] = count / 2;
        reciprocals[4 * std::size_t{x} + c] = reciprocal;
      }
    }
    memory_.halves = halves;
    memory_.reciprocals = reciprocals;
    filterRow_ = d.lanes == 16 ? kernels.boxRow16 : kernels.boxRow32;
  }

  // Row y, fetching row y + 1 meanwhile (rows may lie a pitch apart).
  void filter(std::uint32_t y) {
    memory_.ahead = y + 1 < image_.height ? image_.row(y + 1) : nullptr;
    filterRow_(imageLine(image_, Direction::horizontal, y), radius_, memory_);
  }
  void filterAll() {
    for (std::uint32_t y = 0; y < image_.height; ++y) filter(y);
  }

 private:
  PixelRect image_;
  std::uint32_t radius_;
  BoxRowMemory memory_{};
  void (*filterRow_)(const PixelLine&, std::uint32_t, const BoxRowMemory&) = nullptr;
};

void boxLineThroughCopy(const PixelLine& line, std::uint32_t radius, std::uint8_t* lineCopy) {
  copyLine(line, lineCopy);
  boxLine(lineCopy, line, radius);
}

void boxColumns(const PixelRect& image, const BoxDirection& d, const BoxLayout& layout, std::uint8_t* memory) {
  const BlurKernelSet& kernels = blurKernels();
  BoxBlockMemory block = boxDivisors(d, layout, memory);
  block.ring = memory + layout.ring;
  block.sums = memory + layout.sums;
  std::uint8_t* zeroRow = memory + layout.zeroRow;
  std::fill(zeroRow, zeroRow + layout.verticalBytes, 0);
  block.zeroRow = zeroRow;
  const auto filterBlock = d.lanes == 16 ? kernels.boxBlock16 : kernels.boxBlock32;
  walkLines(
      image, Direction::vertical, kernels, nullptr, 1, layout.verticalBytes,
      [&](const RowBlock& rows) { filterBlock(rows, d.radius, block); },
      [&](const PixelLine& line) { boxLineThroughCopy(line, d.radius, memory + layout.lineCopy); });
}

void boxDirection(const PixelRect& image, const BoxDirection& d, const BoxLayout& layout, std::uint8_t* memory) {
  if (!d.changesPixels()) return;
  if (d.lanes == 0) {
    for (std::uint32_t l = 0; l < lineCount(image, d.direction); ++l)
      boxLineThroughCopy(imageLine(image, d.direction, l), d.radius, memory + layout.lineCopy);
  } else if (d.direction == Direction::horizontal) {
    BoxRowFilter(image, d, layout, memory).filterAll();
  } else {
    boxColumns(image, d, layout, memory);
  }
}

void boxBlurIn(const PixelRect& image, std::int32_t radius, bool horizontal, bool vertical) {
  if (radius < 1 || image.width == 0 || image.height == 0) return;
  const auto r = static_cast<std::uint32_t>(radius);
  const BlurKernelSet& kernels = blurKernels();
  const BoxDirection across(image, Direction::horizontal, r), down(image, Direction::vertical, r);
  // One direction, or both in turn sharing one allocation laid out for each.
  ScratchLayout acrossScratch, downScratch;
  const BoxLayout acrossLayout = boxLayout(image, across, kernels, acrossScratch);
  const BoxLayout downLayout = boxLayout(image, down, kernels, downScratch);
  const std::uint64_t bytes = std::max(horizontal ? acrossScratch.size() : 0, vertical ? downScratch.size() : 0);
  ScratchArray<std::uint8_t> memory(bytes, kBoxMemoryCaption);
  if (!memory) return;
  if (horizontal) boxDirection(image, across, acrossLayout, memory.data());
  if (vertical) boxDirection(image, down, downLayout, memory.data());
}

}  // namespace

void boxBlurHorizontal(const PixelRect& image, std::int32_t radius) { boxBlurIn(image, radius, true, false); }
void boxBlurVertical(const PixelRect& image, std::int32_t radius) { boxBlurIn(image, radius, false, true); }
void boxBlur(const PixelRect& image, std::int32_t radius) { boxBlurIn(image, radius, true, true); }

}  // namespace tessaly
