#include "filters/point/tone_pixels.h"

#include "filters/point/point_kernel_set.h"
#include "filters/point/point_rules.h"
#include "filters/point/point_runs.h"
#include "filters/point/scale_steps.h"

namespace tessaly {

void negativePixels(const PixelRect& image) {
  const PointKernelSet& kernels = pointKernels();
  point::eachRun(image, kernels.chunk, kernels.negative, point::negative);
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
    point::eachRun(image, kernels.chunk, [&](std::uint8_t* row, std::size_t chunks) { kernels.brightness(row, chunks, steps); },
            rule);
  } else {
    transformPixels(image, rule);
  }
}

void desaturatePixels(const PixelRect& image, GreyMode mode) {
  const PointKernelSet& kernels = pointKernels();
  switch (mode) {
    case GreyMode::lightness: point::eachRun(image, kernels.chunk, kernels.lightnessGrey, point::grey<point::lightnessGrey>); break;
    case GreyMode::weighted: point::eachRun(image, kernels.chunk, kernels.weightedGrey, point::grey<point::weightedGrey>); break;
    case GreyMode::average: point::eachRun(image, kernels.chunk, kernels.averageGrey, point::grey<point::averageGrey>); break;
  }
}

void saturationPixels(const PixelRect& image, float s) {
  const double keep = s;
  const double toward = 1.0 - keep;
  const PointKernelSet& kernels = pointKernels();
  point::eachRun(
      image, kernels.chunk, [&](std::uint8_t* row, std::size_t chunks) { kernels.saturation(row, chunks, keep, toward); },
      [&](std::uint32_t p) { return point::saturation(p, keep, toward); });
}

}  // namespace tessaly
