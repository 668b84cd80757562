// The gradients, sharpen and emboss, colour keys and replacement on a
// 2048 × 2048 image, single-threaded, each beside a peer in the same run:
// pixman's linear and radial gradients composited with SRC, OpenCV's
// filter2D with the same 3 × 3 kernels, and OpenCV's inRange and threshold as
// point operations of the same size; and memcpy of the same image. Each run
// starts from the same image; putting it back is not timed.
#include "bench_image.h"
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

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using bench_image::add;
using bench_image::Buffers;
using bench_image::kBytes;
using bench_image::kSide;

constexpr std::uint32_t kKey = 0x00FF00FF;

// The random image with half its pixels turned into the key colour (their
// alpha kept), as a sprite sheet has, and a byte mask for OpenCV's inRange.
struct KeyBuffers {
  std::vector<std::uint8_t> halfKeyed = bench_image::buffers().original;
  std::vector<std::uint8_t> mask = std::vector<std::uint8_t>(kBytes / 4);

  KeyBuffers() {
    std::mt19937 rng(9);
    for (std::size_t i = 0; i < kBytes; i += 4) {
      std::uint32_t word;
      std::memcpy(&word, &halfKeyed[i], 4);
      if (rng() % 2 == 0) word = (word & 0xFF000000u) | kKey;
      std::memcpy(&halfKeyed[i], &word, 4);
    }
  }
  cv::Mat maskMat() { return cv::Mat(kSide, kSide, CV_8UC1, mask.data()); }
};

KeyBuffers& keyBuffers() {
  static KeyBuffers b;
  return b;
}

// A run that starts from the random image, or from the half-keyed one.
template <class Body>
void addFromRandom(const std::string& name, Body body) {
  add(name, [body](benchmark::State& state) { bench_image::timed(state, body); });
}

template <class Body>
void addFromHalfKeyed(const std::string& name, Body body) {
  add(name, [body](benchmark::State& state) {
    Buffers& b = bench_image::buffers();
    for (auto _ : state) {
      state.PauseTiming();
      std::memcpy(b.work.data(), keyBuffers().halfKeyed.data(), kBytes);
      state.ResumeTiming();
      body(b);
      benchmark::ClobberMemory();
    }
  });
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

void registerGradients() {
  const tessaly::LinearGradient line{100, 200, 1900, 1700};
  const tessaly::GradientInk ink = tessaly::GradientInk::from(kColor1, kColor2, 0xFFFFFFFF, 3);
  const tessaly::GradientInk alphaInk = tessaly::GradientInk::from(0xFF000000, 0, 0xFF000000, 3);
  const pixman_gradient_stop_t stops[] = {{0, pixmanColour(kColor1)}, {pixman_int_to_fixed(1), pixmanColour(kColor2)}};
  addFromRandom("linear gradient", [=](Buffers& buf) { tessaly::paintLinearGradient(buf.rect(), line, ink); });
  addFromRandom("linear gradient | pixman linear, SRC", [=](Buffers& buf) {
    const pixman_point_fixed_t p1{pixman_int_to_fixed(line.fx), pixman_int_to_fixed(line.fy)};
    const pixman_point_fixed_t p2{pixman_int_to_fixed(line.tx), pixman_int_to_fixed(line.ty)};
    pixmanGradient(buf, pixman_image_create_linear_gradient(&p1, &p2, stops, 2));
  });
  addFromRandom("linear gradient, alpha only",
      [=](Buffers& buf) { tessaly::paintLinearGradient(buf.rect(), line, alphaInk); });

  const tessaly::RadialGradient circle{1024, 1024, 0.0f, 1200.0f};
  addFromRandom("radial gradient", [=](Buffers& buf) { tessaly::paintRadialGradient(buf.rect(), circle, ink); });
  addFromRandom("radial gradient | pixman radial, SRC", [=](Buffers& buf) {
    const pixman_point_fixed_t centre{pixman_int_to_fixed(circle.fx), pixman_int_to_fixed(circle.fy)};
    pixmanGradient(buf, pixman_image_create_radial_gradient(&centre, &centre, 0, pixman_int_to_fixed(1200), stops, 2));
  });
}

void registerConvolutions() {
  addFromRandom("sharpen", [](Buffers& buf) {
    const tessaly::PixelRect image = buf.rect();
    const tessaly::ConvolutionScratch copy(tessaly::sharpenCopyBytes(image));
    tessaly::sharpenImage(image, copy.data());
  });
  addFromRandom("sharpen | OpenCV filter2D 3x3", [](Buffers& buf) {
    const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
    cv::filter2D(buf.workMat(), buf.otherMat(), -1, kernel);
  });
  addFromRandom("emboss", [](Buffers& buf) {
    const tessaly::PixelRect image = buf.rect();
    const tessaly::ConvolutionScratch grey(tessaly::embossGreyBytes(image));
    tessaly::embossImage(image, grey.data());
  });
  addFromRandom("emboss | OpenCV filter2D 3x3", [](Buffers& buf) {
    const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 2, 1, 0, 1, 0, -1, 0, -1, -2);
    cv::filter2D(buf.workMat(), buf.otherMat(), -1, kernel);
  });
}

// What an in-place pass costs as a plain loop: every word read once, and
// every word read and written back, vectorised by the compiler for the
// widest instruction set the processor has (no software prefetch).
__attribute__((target_clones("avx512f", "avx2", "default"))) std::uint32_t orOfEveryWord(const std::uint8_t* pixels) {
  std::uint32_t any = 0;
  for (std::size_t i = 0; i < kBytes; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, pixels + i, 4);
    any |= word;
  }
  return any;
}

__attribute__((target_clones("avx512f", "avx2", "default"))) void orIntoEveryWord(std::uint8_t* pixels, std::uint32_t bits) {
  for (std::size_t i = 0; i < kBytes; i += 4) {
    std::uint32_t word;
    std::memcpy(&word, pixels + i, 4);
    word |= bits;
    std::memcpy(pixels + i, &word, 4);
  }
}

void registerColourKeys() {
  const auto inRangeKey = [](Buffers& buf) {
    cv::inRange(buf.workMat(), cv::Scalar(0xFF, 0x00, 0xFF, 0), cv::Scalar(0xFF, 0x00, 0xFF, 0xFF), keyBuffers().maskMat());
  };
  addFromRandom("hard key", [](Buffers& buf) { tessaly::keyColourHard(buf.rect(), kKey); });
  addFromRandom("hard key | OpenCV inRange", inRangeKey);
  addFromHalfKeyed("hard key, half keyed", [](Buffers& buf) { tessaly::keyColourHard(buf.rect(), kKey); });
  addFromHalfKeyed("hard key, half keyed | OpenCV inRange", inRangeKey);
  addFromHalfKeyed("replace colour",
      [](Buffers& buf) { tessaly::replaceColour(buf.rect(), 0xFF102030, 0xFFFF00FF); });
  addFromHalfKeyed("replace colour | OpenCV inRange", [](Buffers& buf) {
    cv::inRange(buf.workMat(), cv::Scalar(0xFF, 0x00, 0xFF, 0xFF), cv::Scalar(0xFF, 0x00, 0xFF, 0xFF), keyBuffers().maskMat());
  });
  addFromRandom("floor: read in place | plain loop", [](Buffers& buf) { benchmark::DoNotOptimize(orOfEveryWord(buf.work.data())); });
  addFromRandom("floor: read, write in place | plain loop", [](Buffers& buf) { orIntoEveryWord(buf.work.data(), 0); });
  const auto thresholdEveryByte = [](Buffers& buf) {
    cv::Mat bytes = buf.workMat().reshape(1);
    cv::threshold(bytes, bytes, 128, 255, cv::THRESH_BINARY);
  };
  addFromRandom("soft key", [](Buffers& buf) { tessaly::keyColourSoft(buf.rect(), kKey); });
  addFromRandom("soft key | OpenCV threshold", thresholdEveryByte);
  addFromHalfKeyed("soft key, half keyed", [](Buffers& buf) { tessaly::keyColourSoft(buf.rect(), kKey); });
  addFromHalfKeyed("soft key, half keyed | OpenCV threshold", thresholdEveryByte);
  // A key with no byte at 0 or 255, where every channel has two sides.
  addFromRandom("soft key, key 3C91D7", [](Buffers& buf) { tessaly::keyColourSoft(buf.rect(), 0x003C91D7); });
  addFromRandom("soft key, key 3C91D7 | OpenCV threshold", thresholdEveryByte);
}

}  // namespace

// The program's run as bench_image::runWithRatioTable has it, with the
// table that puts each peer beside its row.
int main(int argc, char** argv) {
  cv::setNumThreads(1);
  add("memcpy", bench_image::memcpyImage);
  registerGradients();
  registerConvolutions();
  registerColourKeys();
  add("memcpy", bench_image::memcpyImage);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  PeerTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
