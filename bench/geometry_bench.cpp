// The flips, resizes and channel rules on a 2048 × 2048 image, memcpy of the
// same image, and OpenCV's flip, resize and mixChannels as the peer, all
// single-threaded. Each run starts from the same random image.
#include "bench_image.h"

#include "filters/channels/channel_kernels.h"
#include "filters/geometry/flip_kernels.h"
#include "filters/geometry/resize_kernels.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdint>
#include <vector>

namespace {

using namespace bench_image;
using tessaly::PixelRect;

// In place, as the commands flip.
void registerFlips() {
  const struct {
    const char* name;
    void (*flip)(const PixelRect&);
    int openCvCode;
  } flips[] = {{"H", tessaly::flipHorizontally, 1}, {"V", tessaly::flipVertically, 0}, {"both", tessaly::flipBoth, -1}};
  for (const auto& f : flips) {
    add(std::string("flip ") + f.name, [flip = f.flip](benchmark::State& state) {
      timed(state, [&](Buffers& b) { flip(b.rect()); });
    });
    add(std::string("opencv flip ") + f.name, [code = f.openCvCode](benchmark::State& state) {
      timed(state, [&](Buffers& b) {
        cv::Mat m = b.workMat();
        cv::flip(m, m, code);
      });
    });
  }
}

// To twice the size, and down to 0.6 times, from the old image into a new
// one, as the command does.
void registerResize(const std::string& size, int side) {
  static tessaly::ResizePlans plans;
  auto* resized = new std::vector<std::uint8_t>(std::size_t(side) * side * 4);  // lives as long as the program
  const tessaly::ResizeTarget target{{resized->data(), side * 4, static_cast<std::uint32_t>(side),
                                      static_cast<std::uint32_t>(side)},
                                     static_cast<std::uint32_t>(side), static_cast<std::uint32_t>(side)};
  add("resize nearest " + size, [target](benchmark::State& state) {
    timed(state, [&](Buffers& b) { tessaly::resizeNearest(b.rect(), target, plans.nearest); });
  });
  add("resize bilinear " + size, [target](benchmark::State& state) {
    timed(state, [&](Buffers& b) { tessaly::resizeBilinear(b.rect(), target, plans.bilinear); });
  });
  for (auto [name, interpolation] : {std::pair{"nearest", cv::INTER_NEAREST}, std::pair{"bilinear", cv::INTER_LINEAR}}) {
    add(std::string("opencv resize ") + name + " " + size, [interpolation, resized, side](benchmark::State& state) {
      cv::Mat result(side, side, CV_8UC4, resized->data());
      timed(state, [&](Buffers& b) { cv::resize(b.workMat(), result, result.size(), 0, 0, interpolation); });
    });
  }
}

void registerResizes() {
  registerResize("2x", 2 * kSide);
  registerResize("0.6x", kSide * 3 / 5);
}

// Set, copy and the offset paste write one channel from a byte; the paste
// without offset copies masked bits. OpenCV copies blue into alpha in place
// (beside set and copy) and green of a second image into alpha (beside the
// pastes).
void registerChannels() {
  add("channel set", [](benchmark::State& state) {
    timed(state, [&](Buffers& b) { tessaly::setChannelBits(b.rect(), 0xFF000000, 0x80000000); });
  });
  add("channel copy", [](benchmark::State& state) {
    timed(state, [&](Buffers& b) {
      tessaly::spreadChannelByte(b.rect(), b.rect(), tessaly::channelRead(0xFF), 0xFF000000);
    });
  });
  add("channel paste", [](benchmark::State& state) {
    timed(state, [&](Buffers& b) { tessaly::copyChannelBits(b.otherRect(), b.rect(), 0xFF000000); });
  });
  add("channel paste offset", [](benchmark::State& state) {
    timed(state, [&](Buffers& b) {
      tessaly::spreadChannelByte(b.otherRect(), b.rect(), tessaly::channelRead(0xFF00), 0xFF000000);
    });
  });
  add("opencv mixChannels", [](benchmark::State& state) {
    timed(state, [&](Buffers& b) {
      cv::Mat m = b.workMat();
      const int fromTo[] = {0, 3};
      cv::mixChannels(&m, 1, &m, 1, fromTo, 1);
    });
  });
  add("opencv mixChannels 2 images", [](benchmark::State& state) {
    timed(state, [&](Buffers& b) {
      const cv::Mat from = b.otherMat();
      cv::Mat to = b.workMat();
      const int fromTo[] = {1, 3};
      cv::mixChannels(&from, 1, &to, 1, fromTo, 1);
    });
  });
}

}  // namespace

int main(int argc, char** argv) {
  return runWithRatioTable(argc, argv, [] {
    registerFlips();
    registerResizes();
    registerChannels();
  });
}
