// The software paste of a 2048 × 2048 image onto another in every blend mode,
// memcpy of the same image, and pixman's compositing operators as the peer,
// all single-threaded. Each run pastes the same source onto the same target.
#include "bench_image.h"

#include "draw/paste/paste_kernel_set.h"

#include <pixman.h>

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

tessaly::PixelRect sourceRect() { return {source().data(), kSide * 4, kSide, kSide}; }

void registerModes() {
  for (std::uint32_t mode = 1; mode <= 20; ++mode) {
    const std::string number = (mode < 10 ? "mode  " : "mode ") + std::to_string(mode);
    add(number + " " + kModeNames[mode], [mode](benchmark::State& state) {
      timed(state, [mode](Buffers& b) { tessaly::pastePixels(sourceRect(), b.rect(), mode); });
    });
  }
}

void registerPixman(const char* name, pixman_op_t op) {
  add(std::string("pixman ") + name, [op](benchmark::State& state) {
    Buffers& b = buffers();
    pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    reinterpret_cast<std::uint32_t*>(source().data()), kSide * 4);
    pixman_image_t* onto = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                    reinterpret_cast<std::uint32_t*>(b.work.data()), kSide * 4);
    timed(state, [&](Buffers&) { pixman_image_composite32(op, from, nullptr, onto, 0, 0, 0, 0, 0, 0, kSide, kSide); });
    pixman_image_unref(onto);
    pixman_image_unref(from);
  });
}

}  // namespace

int main(int argc, char** argv) {
  return runWithRatioTable(argc, argv, [] {
    registerModes();
    registerPixman("SRC", PIXMAN_OP_SRC);
    registerPixman("OVER", PIXMAN_OP_OVER);
    registerPixman("MULTIPLY", PIXMAN_OP_MULTIPLY);
    registerPixman("SCREEN", PIXMAN_OP_SCREEN);
    registerPixman("DARKEN", PIXMAN_OP_DARKEN);
    registerPixman("LIGHTEN", PIXMAN_OP_LIGHTEN);
    registerPixman("DIFFERENCE", PIXMAN_OP_DIFFERENCE);
    registerPixman("OVERLAY", PIXMAN_OP_OVERLAY);
  });
}
