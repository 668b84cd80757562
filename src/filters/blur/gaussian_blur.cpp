#include "filters/blur/gaussian_blur.h"

#include "filters/blur/blur_arithmetic.h"
#include "filters/blur/blur_kernel_set.h"
#include "filters/blur/blur_scratch.h"
#include "filters/blur/gaussian_coefficients.h"
#include "filters/blur/line_walk.h"
#include "filters/blur/pixel_lines.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

namespace tessaly {

namespace {

// The filter state of one channel: the last three results, unrounded.
struct RecursiveState {
  float y1, y2, y3;

  // v = B·p + (b2·y2 + b1·y1 + b3·y3) / b0 in double precision, in this order,
  // rounded to single precision; it becomes the newest result.
  float step(const GaussianCoefficients& k, std::uint8_t p) {
    const double products = double{k.b2} * y2 + double{k.b1} * y1 + double{k.b3} * y3;
    const auto v = static_cast<float>(double{k.B} * p + products / k.b0);
    y3 = y2;
    y2 = y1;
    y1 = v;
    return v;
  }
};

// The anti-causal sub-pass from the far end, then the causal one over the
// bytes it wrote; each starts from its edge pixel, so a constant line stays.
// Every result is limited to the range of the line's bytes before it is
// rounded: where the float arithmetic overshoots, a blur still never makes a
// pixel brighter or darker than its line. Used for the few lines the vector
// kernel leaves over.
void gaussianLine(const PixelLine& line, const GaussianCoefficients& k) {
  const std::uint32_t n = line.length;
  for (int c = 0; c < 4; ++c) {
    std::uint8_t lowest = 255, highest = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
      lowest = std::min(lowest, line.pixel(i)[c]);
      highest = std::max(highest, line.pixel(i)[c]);
    }
    auto output = [&](float v) { return roundToByte(std::clamp(double{v}, static_cast<double>(lowest), static_cast<double>(highest))); };
    const float last = line.pixel(n - 1)[c];
    RecursiveState state{last, last, last};
    for (std::uint32_t i = n; i-- > 0;) {
      std::uint8_t& p = line.pixel(i)[c];
      p = output(state.step(k, p));
    }
    const float first = line.pixel(0)[c];
    state = {first, first, first};
    for (std::uint32_t i = 0; i < n; ++i) {
      std::uint8_t& p = line.pixel(i)[c];
      p = output(state.step(k, p));
    }
  }
}

// Columns go in blocks this wide; their filter state (kGaussianStatePerByte doubles a byte)
// lives on the stack, so the vertical pass needs no heap memory.
constexpr std::uint32_t kColumnBlockBytes = 256;

void gaussianColumns(const PixelRect& image, const GaussianCoefficients& k) {
  const BlurKernelSet& kernels = blurKernels();
  alignas(64) double state[kGaussianStatePerByte * kColumnBlockBytes];
  walkLines(
      image, Direction::vertical, kernels, nullptr, 1, kColumnBlockBytes / kernels.chunk * kernels.chunk,
      [&](const RowBlock& rows) { kernels.gaussianBlock(rows, k, state); },
      [&](const PixelLine& line) { gaussianLine(line, k); });
}

// Rows go in groups of kRowGroupChunks × chunk / 4 (enough independent lines
// to keep the divider busy), transposed into `transposed` (width ×
// kRowGroupChunks × chunk bytes); without that memory, one by one.
constexpr unsigned kRowGroupChunks = 2;
void gaussianRows(const PixelRect& image, const GaussianCoefficients& k, std::uint8_t* transposed) {
  if (transposed == nullptr) {
    for (std::uint32_t y = 0; y < image.height; ++y) gaussianLine(imageLine(image, Direction::horizontal, y), k);
    return;
  }
  const BlurKernelSet& kernels = blurKernels();
  alignas(64) double state[kGaussianStatePerByte * 32 * kRowGroupChunks];
  walkLines(
      image, Direction::horizontal, kernels, transposed, kRowGroupChunks, 0,
      [&](const RowBlock& rows) { kernels.gaussianBlock(rows, k, state); },
      [&](const PixelLine& line) { gaussianLine(line, k); });
}

std::uint64_t transposedBytes(const PixelRect& image) {
  return std::uint64_t{image.width} * blurKernels().chunk * kRowGroupChunks;
}

// Above the largest stable radius, that radius.
GaussianCoefficients stableCoefficients(std::int32_t radius) {
  return gaussianCoefficients(std::min(radius, kGaussianMaxRadius));
}

bool isEmpty(const PixelRect& image, std::int32_t radius) {
  return radius < 1 || image.width == 0 || image.height == 0;
}

}  // namespace

// One direction needs no memory of its own: the transposed rows are only a
// speed-up, done without when the memory is not there.
void gaussianBlurHorizontal(const PixelRect& image, std::int32_t radius) {
  if (isEmpty(image, radius)) return;
  const std::uint64_t bytes = transposedBytes(image);
  std::unique_ptr<std::uint8_t[]> transposed(bytes <= SIZE_MAX ? new (std::nothrow) std::uint8_t[bytes] : nullptr);
  gaussianRows(image, stableCoefficients(radius), transposed.get());
}

void gaussianBlurVertical(const PixelRect& image, std::int32_t radius) {
  if (isEmpty(image, radius)) return;
  gaussianColumns(image, stableCoefficients(radius));
}

void gaussianBlur(const PixelRect& image, std::int32_t radius) {
  if (isEmpty(image, radius)) return;
  ScratchArray<std::uint8_t> transposed(transposedBytes(image), kBlurMemoryCaption);
  if (!transposed) return;
  const GaussianCoefficients k = stableCoefficients(radius);
  gaussianRows(image, k, transposed.data());
  gaussianColumns(image, k);
}

}  // namespace tessaly
