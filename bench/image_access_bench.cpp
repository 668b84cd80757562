// Image creation, copying and pixel access through the stand-in host on a
// 2048 x 2048 image, beside memcpy of the same image and OpenCV doing the
// same work on plain memory, single-threaded. Every command runs as the host
// calls it: host image module, software device and image lock included.
#include "bench_host.h"
#include "bench_image.h"

#include "draw/draw_state.h"
#include "image/image_copy.h"
#include "image/image_creation.h"
#include "image/pixel_access.h"

#include <cstdint>
#include <vector>

namespace {

using bench_image::add;
using bench_image::kSide;

constexpr DWORD kSource = 1;
constexpr DWORD kCopy = 2;
constexpr DWORD kColour = 0x80402010;
constexpr int kHalf = kSide / 2;

using bench_host::repeat;

// The four quarters of the image, each copied into a new image of its size.
void copyQuarters() {
  CopyImage2(kCopy, kSource, 0, 0, kHalf, kHalf);
  CopyImage2(kCopy, kSource, kHalf, 0, kSide, kHalf);
  CopyImage2(kCopy, kSource, 0, kHalf, kHalf, kSide);
  CopyImage2(kCopy, kSource, kHalf, kHalf, kSide, kSide);
}

void registerCreation() {
  add("TS Create Image, colour", [](benchmark::State& state) {
    repeat(state, [] { CreateImage2(kCopy, kSide, kSide, kColour); });
  });
  add("opencv Mat(size, colour)", [](benchmark::State& state) {
    repeat(state, [] {
      cv::Mat filled(kSide, kSide, CV_8UC4, cv::Scalar(0x10, 0x20, 0x40, 0x80));
      benchmark::DoNotOptimize(filled.data);
    });
  });
  add("opencv Mat::setTo (no allocation)", [](benchmark::State& state) {
    repeat(state, [] { bench_image::buffers().otherMat().setTo(cv::Scalar(0x10, 0x20, 0x40, 0x80)); });
  });
  add("TS Create Render Target, colour", [](benchmark::State& state) {
    repeat(state, [] { CreateTargetImage2(kCopy, kSide, kSide, kColour); });
  });
}

void registerCopies() {
  add("TS Copy Image", [](benchmark::State& state) { repeat(state, [] { CopyImage(kCopy, kSource); }); });
  add("opencv Mat::clone", [](benchmark::State& state) {
    repeat(state, [] {
      cv::Mat copy = bench_image::buffers().workMat().clone();
      benchmark::DoNotOptimize(copy.data);
    });
  });
  add("TS Copy Image, 4 quarters", [](benchmark::State& state) { repeat(state, copyQuarters); });
  add("opencv Mat(rect).clone x 4", [](benchmark::State& state) {
    repeat(state, [] {
      for (const cv::Rect& quarter : {cv::Rect(0, 0, kHalf, kHalf), cv::Rect(kHalf, 0, kHalf, kHalf),
                                      cv::Rect(0, kHalf, kHalf, kHalf), cv::Rect(kHalf, kHalf, kHalf, kHalf)}) {
        cv::Mat copy = bench_image::buffers().workMat()(quarter).clone();
        benchmark::DoNotOptimize(copy.data);
      }
    });
  });
}

// One call per pixel of the image: what a program pays that walks an image
// pixel by pixel; the draw state setters likewise, one of each per pixel.
void registerPixelCalls() {
  add("TS Point, every pixel", [](benchmark::State& state) {
    repeat(state, [] {
      DWORD sum = 0;
      for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) sum += GetImagePixel(kSource, x, y);
      }
      benchmark::DoNotOptimize(sum);
    });
  });
  add("TS Dot, every pixel", [](benchmark::State& state) {
    CreateImage(kCopy, kSide, kSide);
    repeat(state, [] {
      for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) SetImagePixel(kCopy, x, y, kColour);
      }
    });
  });
  add("TS Set Blend Mode, Filters, Address UV, every pixel", [](benchmark::State& state) {
    repeat(state, [] {
      for (DWORD i = 0; i < DWORD{kSide} * kSide; ++i) {
        SetBlendMode(i);
        SetFilters(i, i, i);
        SetAddressUV(i, i);
        benchmark::ClobberMemory();
      }
    });
  });
}

}  // namespace

int main(int argc, char** argv) {
  bench_host::PluginHost host;
  host.makePlainImage(kSource, bench_image::buffers().original);
  return bench_image::runWithRatioTable(argc, argv, [] {
    registerCreation();
    registerCopies();
    registerPixelCalls();
  });
}
