// The gradients, sharpen and emboss, colour keys and replacement on a
// 2048 × 2048 image, single-threaded, each beside a peer in the same run:
// pixman's linear and radial gradients composited with SRC, OpenCV's
// filter2D with the same 3 × 3 kernels, and OpenCV's inRange and threshold as
// point operations of the same size; and memcpy of the same image. Each run
// starts from the same image; putting it back is not timed.
#include "peer_table_reporter.h"

#include "filters/color_key/color_key.h"
#include "filters/convolution/convolution_scratch.h"
#include "filters/convolution/emboss.h"
#include "filters/convolution/sharpen.h"
#include "filters/gradient/linear_gradient.h"
#include "filters/gradient/radial_gradient.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 2048;
constexpr std::size_t kBytes = std::size_t{kSide} * kSide * 4;
constexpr std::uint32_t kKey = 0x00FF00FF;

struct Buffers {
  std::vector<std::uint8_t> random = std::vector<std::uint8_t>(kBytes);
  // Half the pixels are the key colour (with any alpha): a sprite sheet.
  std::vector<std::uint8_t> halfKeyed = std::vector<std::uint8_t>(kBytes);
  std::vector<std::uint8_t> work = std::vector<std::uint8_t>(kBytes);
  std::vector<std::uint8_t> other = std::vector<std::uint8_t>(kBytes);
  std::vector<std::uint8_t> mask = std::vector<std::uint8_t>(kBytes / 4);

  Buffers() {
    std::mt19937 rng(2048);
    for (auto& b : random) b = static_cast<std::uint8_t>(rng());
    for (std::size_t i = 0; i < kBytes; i += 4) {
      std::uint32_t word;
      std::memcpy(&word, &random[i], 4);
      if (rng() % 2 == 0) word = (word & 0xFF000000u) | kKey;
      std::memcpy(&halfKeyed[i], &word, 4);
    }
    work = random;
  }
  tessaly::PixelRect rect() { return {work.data(), kSide * 4, kSide, kSide}; }
  cv::Mat workMat() { return cv::Mat(kSide, kSide, CV_8UC4, work.data()); }
  cv::Mat otherMat() { return cv::Mat(kSide, kSide, CV_8UC4, other.data()); }
  cv::Mat maskMat() { return cv::Mat(kSide, kSide, CV_8UC1, mask.data()); }
};

Buffers& buffers() {
  static Buffers b;
  return b;
}

// Puts the input back outside the timed region, so every iteration sees the same pixels.
template <class Body>
void timed(benchmark::State& state, const std::vector<std::uint8_t>& input, Body body) {
  Buffers& b = buffers();
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(b.work.data(), input.data(), kBytes);
    state.ResumeTiming();
    body(b);
    benchmark::ClobberMemory();
  }
}

void memcpyImage(benchmark::State& state) {
  Buffers& b = buffers();
  for (auto _ : state) {
    std::memcpy(b.other.data(), b.work.data(), kBytes);
    benchmark::ClobberMemory();
  }
}

// Every figure in milliseconds, so the ratios compare like with like.
template <class Body>
void add(const std::string& name, const std::vector<std::uint8_t>& input, Body body) {
  benchmark::RegisterBenchmark(name.c_str(), [&input, body](benchmark::State& state) { timed(state, input, body); })
      ->Unit(benchmark::kMillisecond)
      ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

// A gradient from deep blue to a warm white, as a sky.
constexpr std::uint32_t kColor1 = 0xFF0B1E5B;
constexpr std::uint32_t kColor2 = 0xFFF2E6D0;

pixman_color_t pixmanColour(std::uint32_t argb) {
  const auto wide = [&](int shift) { return static_cast<std::uint16_t>(((argb >> shift) & 0xFF) * 257); };
  return {wide(16), wide(8), wide(0), wide(24)};
}

// The peer paints the same gradient into the same memory: a gradient image
// composited with SRC, padded beyond its ends as Mode 3 does.
void pixmanGradient(Buffers& b, pixman_image_t* gradient) {
  pixman_image_set_repeat(gradient, PIXMAN_REPEAT_PAD);
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    reinterpret_cast<std::uint32_t*>(b.work.data()), kSide * 4);
  pixman_image_composite32(PIXMAN_OP_SRC, gradient, nullptr, target, 0, 0, 0, 0, 0, 0, kSide, kSide);
  pixman_image_unref(target);
  pixman_image_unref(gradient);
}

void registerGradients(Buffers& b) {
  const tessaly::LinearGradient line{100, 200, 1900, 1700};
  const tessaly::GradientInk ink = tessaly::GradientInk::from(kColor1, kColor2, 0xFFFFFFFF, 3);
  const tessaly::GradientInk alphaInk = tessaly::GradientInk::from(0xFF000000, 0, 0xFF000000, 3);
  const pixman_gradient_stop_t stops[] = {{0, pixmanColour(kColor1)}, {pixman_int_to_fixed(1), pixmanColour(kColor2)}};
  add("linear gradient", b.random, [=](Buffers& buf) { tessaly::paintLinearGradient(buf.rect(), line, ink); });
  add("linear gradient | pixman linear, SRC", b.random, [=](Buffers& buf) {
    const pixman_point_fixed_t p1{pixman_int_to_fixed(line.fx), pixman_int_to_fixed(line.fy)};
    const pixman_point_fixed_t p2{pixman_int_to_fixed(line.tx), pixman_int_to_fixed(line.ty)};
    pixmanGradient(buf, pixman_image_create_linear_gradient(&p1, &p2, stops, 2));
  });
  add("linear gradient, alpha only", b.random,
      [=](Buffers& buf) { tessaly::paintLinearGradient(buf.rect(), line, alphaInk); });

  const tessaly::RadialGradient circle{1024, 1024, 0.0f, 1200.0f};
  add("radial gradient", b.random, [=](Buffers& buf) { tessaly::paintRadialGradient(buf.rect(), circle, ink); });
  add("radial gradient | pixman radial, SRC", b.random, [=](Buffers& buf) {
    const pixman_point_fixed_t centre{pixman_int_to_fixed(circle.fx), pixman_int_to_fixed(circle.fy)};
    pixmanGradient(buf, pixman_image_create_radial_gradient(&centre, &centre, 0, pixman_int_to_fixed(1200), stops, 2));
  });
}

void registerConvolutions(Buffers& b) {
  add("sharpen", b.random, [](Buffers& buf) {
    const tessaly::PixelRect image = buf.rect();
    const tessaly::ConvolutionScratch copy(tessaly::sharpenCopyBytes(image));
    tessaly::sharpenImage(image, copy.data());
  });
  add("sharpen | OpenCV filter2D 3x3", b.random, [](Buffers& buf) {
    const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
    cv::filter2D(buf.workMat(), buf.otherMat(), -1, kernel);
  });
  add("emboss", b.random, [](Buffers& buf) {
    const tessaly::PixelRect image = buf.rect();
    const tessaly::ConvolutionScratch grey(tessaly::embossGreyBytes(image));
    tessaly::embossImage(image, grey.data());
  });
  add("emboss | OpenCV filter2D 3x3", b.random, [](Buffers& buf) {
    const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 2, 1, 0, 1, 0, -1, 0, -1, -2);
    cv::filter2D(buf.workMat(), buf.otherMat(), -1, kernel);
  });
}

void registerColourKeys(Buffers& b) {
  const auto inRangeKey = [](Buffers& buf) {
    cv::inRange(buf.workMat(), cv::Scalar(0xFF, 0x00, 0xFF, 0), cv::Scalar(0xFF, 0x00, 0xFF, 0xFF), buf.maskMat());
  };
  add("hard key", b.random, [](Buffers& buf) { tessaly::keyColourHard(buf.rect(), kKey); });
  add("hard key | OpenCV inRange", b.random, inRangeKey);
  add("hard key, half keyed", b.halfKeyed, [](Buffers& buf) { tessaly::keyColourHard(buf.rect(), kKey); });
  add("hard key, half keyed | OpenCV inRange", b.halfKeyed, inRangeKey);
  add("replace colour", b.halfKeyed,
      [](Buffers& buf) { tessaly::replaceColour(buf.rect(), 0xFF102030, 0xFFFF00FF); });
  add("replace colour | OpenCV inRange", b.halfKeyed, [](Buffers& buf) {
    cv::inRange(buf.workMat(), cv::Scalar(0xFF, 0x00, 0xFF, 0xFF), cv::Scalar(0xFF, 0x00, 0xFF, 0xFF), buf.maskMat());
  });
  add("soft key", b.random, [](Buffers& buf) { tessaly::keyColourSoft(buf.rect(), kKey); });
  add("soft key | OpenCV threshold", b.random, [](Buffers& buf) {
    cv::Mat bytes = buf.workMat().reshape(1);
    cv::threshold(bytes, bytes, 128, 255, cv::THRESH_BINARY);
  });
}

}  // namespace

int main(int argc, char** argv) {
  cv::setNumThreads(1);
  Buffers& b = buffers();
  benchmark::RegisterBenchmark("memcpy", memcpyImage)->Unit(benchmark::kMillisecond)->ComputeStatistics(
      "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
  registerGradients(b);
  registerConvolutions(b);
  registerColourKeys(b);
  // memcpy again at the end: the table divides by the fastest memcpy run.
  benchmark::RegisterBenchmark("memcpy", memcpyImage)->Unit(benchmark::kMillisecond)->ComputeStatistics(
      "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  PeerTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
