// The software paste of a 2048 × 2048 image onto another in every blend mode,
// memcpy of the same image, and pixman's compositing operators as the peer,
// all single-threaded. Each run pastes the same source onto the same target.
#include "bench_image.h"

#include "draw/paste/paste_kernel_set.h"
#include "filters/simd/instruction_set.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace bench_image;

const char* const kModeNames[21] = {"",
                                    "alpha blend",
                                    "composite",
                                    "copy",
                                    "multiply",
                                    "divide",
                                    "screen",
                                    "soft light",
                                    "colour dodge",
                                    "colour burn",
                                    "hard light",
                                    "soft light from screen",
                                    "subtract about middle",
                                    "add about middle",
                                    "difference",
                                    "add",
                                    "subtract",
                                    "darken",
                                    "lighten",
                                    "copy",
                                    "copy"};

// The source: random pixels of their own (the target is the shared image).
std::vector<std::uint8_t>& source() {
  static std::vector<std::uint8_t> pixels = [] {
    std::vector<std::uint8_t> p(kBytes);
    std::mt19937 rng(4096);
    for (auto& b : p) b = static_cast<std::uint8_t>(rng());
    return p;
  }();
  return pixels;
}

// A sprite, where most pixels are opaque or clear: an opaque disc of random
// colours on clear black, with an edge of partial alphas 4 pixels wide
// (colours premultiplied, so that pixman reads valid pixels).
std::vector<std::uint8_t>& sprite() {
  static std::vector<std::uint8_t> pixels = [] {
    std::vector<std::uint8_t> p(kBytes);
    std::mt19937 rng(4097);
    const double centre = kSide / 2.0, radius = kSide * 0.45;
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        const double inside = radius - std::hypot(x + 0.5 - centre, y + 0.5 - centre);
        const auto alpha = static_cast<unsigned>(std::clamp(inside / 4.0, 0.0, 1.0) * 255.0);
        std::uint8_t* q = &p[(static_cast<std::size_t>(y) * kSide + x) * 4];
        for (int c = 0; c < 3; ++c) q[c] = static_cast<std::uint8_t>(rng() % 256 * alpha / 255);
        q[3] = static_cast<std::uint8_t>(alpha);
      }
    }
    return p;
  }();
  return pixels;
}

tessaly::PixelRect rectOf(std::vector<std::uint8_t>& pixels) { return {pixels.data(), kSide * 4, kSide, kSide}; }
tessaly::PixelRect sourceRect() { return rectOf(source()); }

}  // namespace

// The tables of the narrower sets, named directly so their mode 1 can be timed
// beside the widest (the rows the processor runs).
namespace tessaly::simd {
template <>
const PasteKernelSet& kernelTable<PasteKernelSet, Sse2>();
template <>
const PasteKernelSet& kernelTable<PasteKernelSet, Avx2>();
}  // namespace tessaly::simd

namespace {

void registerAlphaBlendOf(const char* setName, const tessaly::PasteKernelSet& (*table)()) {
  add(std::string("mode  1 alpha blend, ") + setName, [table](benchmark::State& state) {
    const auto kernel = table().rule[static_cast<std::size_t>(tessaly::PasteRule::alphaBlend)];
    timed(state, [kernel](Buffers& b) { kernel(sourceRect(), b.rect()); });
  });
}

void registerModes() {
  for (std::uint32_t mode = 1; mode <= 20; ++mode) {
    const std::string number = (mode < 10 ? "mode  " : "mode ") + std::to_string(mode);
    add(number + " " + kModeNames[mode], [mode](benchmark::State& state) {
      timed(state, [mode](Buffers& b) { tessaly::pastePixels(sourceRect(), b.rect(), mode); });
    });
    if (mode != 1) continue;
    add("mode  1 alpha blend, sprite", [](benchmark::State& state) {
      timed(state, [](Buffers& b) { tessaly::pastePixels(rectOf(sprite()), b.rect(), 1); });
    });
    using tessaly::simd::InstructionSet;
    const InstructionSet widest = tessaly::simd::processorInstructionSet();
    if (widest > InstructionSet::avx2) {
      registerAlphaBlendOf("AVX2", tessaly::simd::kernelTable<tessaly::PasteKernelSet, tessaly::simd::Avx2>);
    }
    if (widest > InstructionSet::sse2) {
      registerAlphaBlendOf("SSE2", tessaly::simd::kernelTable<tessaly::PasteKernelSet, tessaly::simd::Sse2>);
    }
  }
}

void registerPixman(const char* name, pixman_op_t op, std::vector<std::uint8_t>& (*from)() = source) {
  add(std::string("pixman ") + name, [op, from](benchmark::State& state) {
    Buffers& b = buffers();
    pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                      reinterpret_cast<std::uint32_t*>(from().data()), kSide * 4);
    pixman_image_t* onto = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    reinterpret_cast<std::uint32_t*>(b.work.data()), kSide * 4);
    timed(state, [&](Buffers&) { pixman_image_composite32(op, source, nullptr, onto, 0, 0, 0, 0, 0, 0, kSide, kSide); });
    pixman_image_unref(onto);
    pixman_image_unref(source);
  });
}

}  // namespace

int main(int argc, char** argv) {
  return runWithRatioTable(argc, argv, [] {
    registerModes();
    registerPixman("SRC", PIXMAN_OP_SRC);
    registerPixman("OVER", PIXMAN_OP_OVER);
    registerPixman("OVER, sprite", PIXMAN_OP_OVER, sprite);
    registerPixman("MULTIPLY", PIXMAN_OP_MULTIPLY);
    registerPixman("SCREEN", PIXMAN_OP_SCREEN);
    registerPixman("DARKEN", PIXMAN_OP_DARKEN);
    registerPixman("LIGHTEN", PIXMAN_OP_LIGHTEN);
    registerPixman("DIFFERENCE", PIXMAN_OP_DIFFERENCE);
    registerPixman("OVERLAY", PIXMAN_OP_OVERLAY);
  });
}
