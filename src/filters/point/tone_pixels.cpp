#include "filters/point/tone_pixels.h"

#include "filters/point/point_kernel_set.h"
#include "filters/point/point_rules.h"
#include "filters/point/scale_steps.h"

namespace tessaly {

namespace {

// Each row: whole chunks through the kernel, the rest word by word.
template <class Kernel, class Rule>
void eachRow(const PixelRect& image, unsigned chunk, Kernel kernel, Rule rule) {
  const std::size_t chunks = std::size_t{image.width} * 4 / chunk;
  const auto vectorWords = static_cast<std::uint32_t>(chunks * chunk / 4);
  for (std::uint32_t y = 0; y < image.height; ++y) {
    std::uint8_t* row = image.row(y);
    kernel(row, chunks);
    for (std::uint8_t* p = row + 4 * std::size_t{vectorWords}; p < row + 4 * std::size_t{image.width}; p += 4)
      storePixel(p, rule(loadPixel(p)));
  }
}

}  // namespace

void negativePixels(const PixelRect& image) {
  const PointKernelSet& kernels = pointKernels();
  eachRow(image, kernels.chunk, kernels.negative, point::negative);
}

void brightnessPixels(const PixelRect& image, const float (&factors)[4], bool withAlpha) {
  point::ByteTable tables[4];
  point::ScaleSteps steps{};
  bool stepsFound = true;
  for (int k = 0; k < 4; ++k) {
    const float factor = k == 3 && !withAlpha ? 1.0f : factors[k];
    tables[k] = point::brightnessTable(point::brightnessFactor(factor));
    const auto step = point::scaleStepFor(factor, tables[k]);
    stepsFound = stepsFound && step.has_value();
    if (step) steps.channel[k] = *step;
  }
  const PointKernelSet& kernels = pointKernels();
  const auto rule = [&](std::uint32_t p) { return point::brightness(p, tables); };
  if (kernels.brightness != nullptr && stepsFound) {
    eachRow(image, kernels.chunk, [&](std::uint8_t* row, std::size_t chunks) { kernels.brightness(row, chunks, steps); },
            rule);
  } else {
    transformPixels(image, rule);
  }
}

void desaturatePixels(const PixelRect& image, GreyMode mode) {
  const PointKernelSet& kernels = pointKernels();
  switch (mode) {
    case GreyMode::lightness: eachRow(image, kernels.chunk, kernels.lightnessGrey, point::grey<point::lightnessGrey>); break;
    case GreyMode::weighted: eachRow(image, kernels.chunk, kernels.weightedGrey, point::grey<point::weightedGrey>); break;
    case GreyMode::average: eachRow(image, kernels.chunk, kernels.averageGrey, point::grey<point::averageGrey>); break;
  }
}

void saturationPixels(const PixelRect& image, float s) {
  const double keep = s;
  const double toward = 1.0 - keep;
  const PointKernelSet& kernels = pointKernels();
  eachRow(
      image, kernels.chunk, [&](std::uint8_t* row, std::size_t chunks) { kernels.saturation(row, chunks, keep, toward); },
      [&](std::uint32_t p) { return point::saturation(p, keep, toward); });
}

}  // namespace tessaly
