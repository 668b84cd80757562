// The blur passes on a 2048 × 2048 image at radius 1, 5, 20 and 60, memcpy of
// the same image, and OpenCV's box, Gaussian and separable filters as the peer,
// all single-threaded. Each run starts from the same random image.
#include "bench_image.h"

#include "filters/blur/binomial_blur.h"
#include "filters/blur/box_blur.h"
#include "filters/blur/gaussian_blur.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace bench_image;

const std::vector<int> kRadii = {1, 5, 20, 60};
// The recursive Gaussian is also measured where OpenCV's GaussianBlur (sigma
// r / 3 = 5) should start to lose to it.
const std::vector<int> kGaussianRadii = {1, 5, 15, 20, 60};

using Pass = void (*)(const tessaly::PixelRect&, std::int32_t);

void registerPass(const std::string& row, Pass pass, const std::vector<int>& radii) {
  for (int r : radii) {
    add(row + "/r:" + std::to_string(r), [pass, r](benchmark::State& state) {
      timed(state, [&](Buffers& b) { pass(b.rect(), r); });
    });
  }
}

// Normalised C(2r, k) as floats, the binomial weights for sepFilter2D.
cv::Mat binomialKernel(int r) {
  std::vector<double> w(1, 1.0);
  for (int row = 1; row <= 2 * r; ++row) {
    w.push_back(0.0);
    for (int k = row; k > 0; --k) w[static_cast<std::size_t>(k)] += w[static_cast<std::size_t>(k - 1)];
  }
  double total = 0;
  for (double v : w) total += v;
  cv::Mat kernel(2 * r + 1, 1, CV_32F);
  for (int k = 0; k <= 2 * r; ++k) kernel.at<float>(k) = static_cast<float>(w[static_cast<std::size_t>(k)] / total);
  return kernel;
}

void registerOpenCvGaussian() {
  for (int r : kGaussianRadii) {
    const double sigma = r / 3.0;
    add("opencv GaussianBlur both/r:" + std::to_string(r), [sigma](benchmark::State& state) {
      timed(state, [&](Buffers& b) { cv::GaussianBlur(b.workMat(), b.otherMat(), cv::Size(), sigma, sigma); });
    });
  }
}

void registerOpenCvBox() {
  for (int r : kRadii) {
    const std::string suffix = "/r:" + std::to_string(r);
    const int k = 2 * r + 1;
    add("opencv blur H" + suffix, [k](benchmark::State& state) {
      timed(state, [&](Buffers& b) { cv::blur(b.workMat(), b.otherMat(), cv::Size(k, 1)); });
    });
    add("opencv blur both" + suffix, [k](benchmark::State& state) {
      timed(state, [&](Buffers& b) { cv::blur(b.workMat(), b.otherMat(), cv::Size(k, k)); });
    });
  }
}

void registerOpenCvBinomial() {
  for (int r : kRadii) {
    const std::string suffix = "/r:" + std::to_string(r);
    add("opencv sepFilter2D H" + suffix, [r](benchmark::State& state) {
      const cv::Mat kernel = binomialKernel(r);
      const cv::Mat one = cv::Mat::ones(1, 1, CV_32F);
      timed(state, [&](Buffers& b) { cv::sepFilter2D(b.workMat(), b.otherMat(), -1, kernel, one); });
    });
    add("opencv sepFilter2D both" + suffix, [r](benchmark::State& state) {
      const cv::Mat kernel = binomialKernel(r);
      timed(state, [&](Buffers& b) { cv::sepFilter2D(b.workMat(), b.otherMat(), -1, kernel, kernel); });
    });
  }
}

}  // namespace

int main(int argc, char** argv) {
  return runWithRatioTable(argc, argv, [] {
    registerPass("box H", tessaly::boxBlurHorizontal, kRadii);
    registerPass("box V", tessaly::boxBlurVertical, kRadii);
    registerPass("box both", tessaly::boxBlur, kRadii);
    registerOpenCvBox();
    registerPass("gaussian H", tessaly::gaussianBlurHorizontal, kGaussianRadii);
    registerPass("gaussian V", tessaly::gaussianBlurVertical, kGaussianRadii);
    registerPass("gaussian both", tessaly::gaussianBlur, kGaussianRadii);
    registerOpenCvGaussian();
    registerPass("binomial H", tessaly::binomialBlurHorizontal, kRadii);
    registerPass("binomial V", tessaly::binomialBlurVertical, kRadii);
    registerPass("binomial both", tessaly::binomialBlur, kRadii);
    registerOpenCvBinomial();
  });
}
