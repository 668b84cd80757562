// The tone adjustments and the threshold on a 2048 × 2048 image, memcpy of
// the same image, and OpenCV's nearest operation beside each, all
// single-threaded and in place where OpenCV allows it. Each run starts from
// the same random image.
#include "bench_image.h"
#include "peer_table_reporter.h"

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

// Each row, and OpenCV's nearest operation as its peer.
void registerRows() {
  addTimed("negative", [](Buffers& b) { tessaly::negativePixels(b.rect()); });
  addTimed("negative | OpenCV bitwise_not", [](Buffers& b) {
    cv::Mat image = b.workMat();
    cv::bitwise_not(image, image);
  });
  addTimed("threshold", [](Buffers& b) { tessaly::thresholdPixels(b.rect(), 128, 0x00FF0000u); });
  addTimed("threshold | OpenCV threshold", [](Buffers& b) {
    cv::Mat image = b.workMat();
    cv::threshold(image, image, 127, 255, cv::THRESH_BINARY);
  });
  for (bool withAlpha : {false, true}) {
    const std::string row = withAlpha ? "brightness with alpha" : "brightness";
    addTimed(row, [withAlpha](Buffers& b) { tessaly::brightnessPixels(b.rect(), kFactors, withAlpha); });
    addTimed(row + " | OpenCV LUT", [lut = brightnessLut(withAlpha)](Buffers& b) {
      cv::Mat image = b.workMat();
      cv::LUT(image, lut, image);
    });
  }
  const std::pair<const char*, tessaly::GreyMode> greys[] = {{"desaturate lightness", tessaly::GreyMode::lightness},
                                                             {"desaturate weighted", tessaly::GreyMode::weighted},
                                                             {"desaturate average", tessaly::GreyMode::average}};
  // OpenCV's one grey (its weights are like the weighted mode's) beside each.
  for (const auto& [row, mode] : greys) {
    addTimed(row, [mode = mode](Buffers& b) { tessaly::desaturatePixels(b.rect(), mode); });
    addTimed(std::string(row) + " | OpenCV cvtColor grey and back", [](Buffers& b) {
      cv::Mat grey;
      cv::cvtColor(b.workMat(), grey, cv::COLOR_BGRA2GRAY);
      cv::Mat image = b.workMat();
      cv::cvtColor(grey, image, cv::COLOR_GRAY2BGRA);
    });
  }
  addTimed("saturation 40%", [](Buffers& b) { tessaly::saturationPixels(b.rect(), 0.4f); });
  // The grey, then each channel weighted between itself and it.
  addTimed("saturation 40% | OpenCV grey and addWeighted", [](Buffers& b) {
    cv::Mat grey, greyColour;
    cv::cvtColor(b.workMat(), grey, cv::COLOR_BGRA2GRAY);
    cv::cvtColor(grey, greyColour, cv::COLOR_GRAY2BGRA);
    cv::Mat image = b.workMat();
    cv::addWeighted(image, 0.4, greyColour, 0.6, 0.0, image);
  });
}

}  // namespace

int main(int argc, char** argv) { return bench_image::runWithRatioTable<PeerTableReporter>(argc, argv, registerRows); }
