// What every benchmark program shares: a random 2048 × 2048 image with a
// working copy and a second buffer, timing that starts each run from the same
// pixels, memcpy of the image as the yardstick, registration in milliseconds
// with the least time over the repetitions, and the program's run.
#pragma once

#include "image/pixel_rect.h"
#include "ratio_table_reporter.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace bench_image {

inline constexpr int kSide = 2048;
inline constexpr std::size_t kBytes = std::size_t{kSide} * kSide * 4;

struct Buffers {
  std::vector<std::uint8_t> original = std::vector<std::uint8_t>(kBytes);
  std::vector<std::uint8_t> work = std::vector<std::uint8_t>(kBytes);
  std::vector<std::uint8_t> other = std::vector<std::uint8_t>(kBytes);

  Buffers() {
    std::mt19937 rng(2048);
    for (auto& b : original) b = static_cast<std::uint8_t>(rng());
    work = original;
  }
  tessaly::PixelRect rect() { return {work.data(), kSide * 4, kSide, kSide}; }
  tessaly::PixelRect otherRect() { return {other.data(), kSide * 4, kSide, kSide}; }
  cv::Mat workMat() { return cv::Mat(kSide, kSide, CV_8UC4, work.data()); }
  cv::Mat otherMat() { return cv::Mat(kSide, kSide, CV_8UC4, other.data()); }
};

inline Buffers& buffers() {
  static Buffers b;
  return b;
}

// Restores the input outside the timed region, so every iteration sees the same pixels.
template <class Body>
void timed(benchmark::State& state, Body body) {
  Buffers& b = buffers();
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(b.work.data(), b.original.data(), kBytes);
    state.ResumeTiming();
    body(b);
    benchmark::ClobberMemory();
  }
}

inline void memcpyImage(benchmark::State& state) {
  Buffers& b = buffers();
  for (auto _ : state) {
    std::memcpy(b.other.data(), b.work.data(), kBytes);
    benchmark::ClobberMemory();
  }
}

// Every figure in milliseconds, so the ratios compare like with like.
template <class Fn>
void add(const std::string& name, Fn fn) {
  benchmark::RegisterBenchmark(name.c_str(), fn)
      ->Unit(benchmark::kMillisecond)
      ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

// The whole program: OpenCV on one thread, memcpy first and last (the table
// divides by its fastest run), the benchmarks registerAll() adds between
// them, then the table of ratios (RatioTableReporter, or PeerTableReporter
// where each row has its peer beside it).
template <class Reporter = RatioTableReporter, class Register>
int runWithRatioTable(int argc, char** argv, Register registerAll) {
  cv::setNumThreads(1);
  add("memcpy", memcpyImage);
  registerAll();
  add("memcpy", memcpyImage);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench_image
