// The software paste of a 2048 × 2048 image onto another in every blend mode,
// memcpy of the same image, and pixman's compositing operators as the peer,
// all single-threaded. Each run starts from the same random images.
#include "ratio_table_reporter.h"

#include "draw/paste/paste_kernel_set.h"

#include <benchmark/benchmark.h>
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

const char* const kModeNames[21] = {
    "",          "alpha blend", "composite",   "copy",          "multiply",      "divide",         "screen",
    "soft light", "colour dodge", "colour burn", "hard light",  "soft light (screen)", "subtract about middle",
    "add about middle", "difference", "add", "subtract", "darken", "lighten", "copy", "copy"};

struct Buffers {
  std::vector<std::uint8_t> source = std::vector<std::uint8_t>(kBytes);
  std::vector<std::uint8_t> original = std::vector<std::uint8_t>(kBytes);
  std::vector<std::uint8_t> target = std::vector<std::uint8_t>(kBytes);

  Buffers() {
    std::mt19937 rng(2048);
    for (auto& b : source) b = static_cast<std::uint8_t>(rng());
    for (auto& b : original) b = static_cast<std::uint8_t>(rng());
    target = original;
  }
  tessaly::PixelRect sourceRect() { return {source.data(), kSide * 4, kSide, kSide}; }
  tessaly::PixelRect targetRect() { return {target.data(), kSide * 4, kSide, kSide}; }
};

Buffers& buffers() {
  static Buffers b;
  return b;
}

// Restores the target outside the timed region, so every iteration sees the same pixels.
template <class Body>
void timed(benchmark::State& state, Body body) {
  Buffers& b = buffers();
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(b.target.data(), b.original.data(), kBytes);
    state.ResumeTiming();
    body(b);
    benchmark::ClobberMemory();
  }
}

void memcpyImage(benchmark::State& state) {
  Buffers& b = buffers();
  for (auto _ : state) {
    std::memcpy(b.target.data(), b.source.data(), kBytes);
    benchmark::ClobberMemory();
  }
}

template <class Fn>
void add(const std::string& name, Fn fn) {
  benchmark::RegisterBenchmark(name.c_str(), fn)
      ->Unit(benchmark::kMillisecond)
      ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

void registerMode(std::uint32_t mode) {
  const std::string number = (mode < 10 ? "mode  " : "mode ") + std::to_string(mode);
  add(number + " " + kModeNames[mode], [mode](benchmark::State& state) {
    timed(state, [mode](Buffers& b) { tessaly::pastePixels(b.sourceRect(), b.targetRect(), mode); });
  });
}

void registerPixman(const char* name, pixman_op_t op) {
  add(std::string("pixman ") + name, [op](benchmark::State& state) {
    Buffers& b = buffers();
    pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                      reinterpret_cast<std::uint32_t*>(b.source.data()), kSide * 4);
    pixman_image_t* target = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                      reinterpret_cast<std::uint32_t*>(b.target.data()), kSide * 4);
    timed(state, [&](Buffers&) { pixman_image_composite32(op, source, nullptr, target, 0, 0, 0, 0, 0, 0, kSide, kSide); });
    pixman_image_unref(target);
    pixman_image_unref(source);
  });
}

}  // namespace

int main(int argc, char** argv) {
  add("memcpy", memcpyImage);
  for (std::uint32_t mode = 1; mode <= 20; ++mode) registerMode(mode);
  registerPixman("SRC", PIXMAN_OP_SRC);
  registerPixman("OVER", PIXMAN_OP_OVER);
  registerPixman("MULTIPLY", PIXMAN_OP_MULTIPLY);
  registerPixman("SCREEN", PIXMAN_OP_SCREEN);
  registerPixman("DARKEN", PIXMAN_OP_DARKEN);
  registerPixman("LIGHTEN", PIXMAN_OP_LIGHTEN);
  registerPixman("DIFFERENCE", PIXMAN_OP_DIFFERENCE);
  registerPixman("OVERLAY", PIXMAN_OP_OVERLAY);
  // memcpy again at the end: the table divides by the fastest memcpy run.
  add("memcpy", memcpyImage);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
