// The tone adjustments and the threshold on a 2048 × 2048 image, memcpy of
// the same image, and OpenCV's nearest operation beside each, all
// single-threaded and in place where OpenCV allows it. Each run starts from
// the same random image.
#include "bench_image.h"
#include "ratio_table_reporter.h"

#include "filters/threshold.h"
#include "filters/point/tone_pixels.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <string>

namespace {

using namespace bench_image;

template <class Body>
void addTimed(const std::string& name, Body body) {
  add(name, [body](benchmark::State& state) { timed(state, body); });
}

// The brightness factors: blue, green, red and alpha scaled apart.
constexpr float kFactors[4] = {0.8f, 1.25f, 0.5f, 0.9f};

// OpenCV's per-channel table for the same factors (what the command does).
cv::Mat brightnessLut(bool withAlpha) {
  cv::Mat lut(1, 256, CV_8UC4);
  for (int c = 0; c < 256; ++c)
    for (int k = 0; k < 4; ++k) {
      const double v = c * static_cast<double>(kFactors[k]) + 0.5;
      lut.at<cv::Vec4b>(c)[k] = k == 3 && !withAlpha ? static_cast<uchar>(c) : cv::saturate_cast<uchar>(static_cast<int>(v));
    }
  return lut;
}

void registerTessaly() {
  addTimed("negative", [](Buffers& b) { tessaly::negativePixels(b.rect()); });
  addTimed("threshold", [](Buffers& b) { tessaly::thresholdPixels(b.rect(), 128, 0x00FF0000u); });
  addTimed("brightness", [](Buffers& b) { tessaly::brightnessPixels(b.rect(), kFactors, false); });
  addTimed("brightness with alpha", [](Buffers& b) { tessaly::brightnessPixels(b.rect(), kFactors, true); });
  addTimed("desaturate lightness", [](Buffers& b) { tessaly::desaturatePixels(b.rect(), tessaly::GreyMode::lightness); });
  addTimed("desaturate weighted", [](Buffers& b) { tessaly::desaturatePixels(b.rect(), tessaly::GreyMode::weighted); });
  addTimed("desaturate average", [](Buffers& b) { tessaly::desaturatePixels(b.rect(), tessaly::GreyMode::average); });
  addTimed("saturation 40%", [](Buffers& b) { tessaly::saturationPixels(b.rect(), 0.4f); });
}

void registerOpenCv() {
  addTimed("negative/opencv", [](Buffers& b) {
    cv::Mat image = b.workMat();
    cv::bitwise_not(image, image);
  });
  addTimed("threshold/opencv", [](Buffers& b) {
    cv::Mat image = b.workMat();
    cv::threshold(image, image, 127, 255, cv::THRESH_BINARY);
  });
  addTimed("brightness/opencv", [lut = brightnessLut(false)](Buffers& b) {
    cv::Mat image = b.workMat();
    cv::LUT(image, lut, image);
  });
  addTimed("brightness with alpha/opencv", [lut = brightnessLut(true)](Buffers& b) {
    cv::Mat image = b.workMat();
    cv::LUT(image, lut, image);
  });
  // Grey and back, for each desaturation.
  for (const char* mode : {"desaturate lightness", "desaturate weighted", "desaturate average"}) {
    addTimed(std::string(mode) + "/opencv", [](Buffers& b) {
      cv::Mat grey;
      cv::cvtColor(b.workMat(), grey, cv::COLOR_BGRA2GRAY);
      cv::Mat image = b.workMat();
      cv::cvtColor(grey, image, cv::COLOR_GRAY2BGRA);
    });
  }
  // The grey, then each channel weighted between it and itself.
  addTimed("saturation 40%/opencv", [](Buffers& b) {
    cv::Mat grey, greyColour;
    cv::cvtColor(b.workMat(), grey, cv::COLOR_BGRA2GRAY);
    cv::cvtColor(grey, greyColour, cv::COLOR_GRAY2BGRA);
    cv::Mat image = b.workMat();
    cv::addWeighted(image, 0.4, greyColour, 0.6, 0.0, image);
  });
}

}  // namespace

int main(int argc, char** argv) {
  cv::setNumThreads(1);
  add("memcpy", memcpyImage);
  registerTessaly();
  registerOpenCv();
  // memcpy again at the end: the table divides by the fastest memcpy run.
  add("memcpy", memcpyImage);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
