// The paste loops of every instruction set against the plain reference, over
// every (s, d, a) of each colour formula and every (a, da) of each alpha rule,
// in rows long enough for whole vectors and in rows of 3 pixels, which only
// the partial-chunk path pastes.
#include "paste_reference.h"

#include "plugin_test_hooks.h"

#include "draw/paste/paste_kernel_set.h"
#include "draw/paste/paste_modes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace paste_test {
namespace {

using tessaly::PasteKernelSet;
using tessaly::PixelRect;
using tessaly::simd::InstructionSet;

// The sets the paste has loops for that the processor runs.
std::vector<InstructionSet> instructionSetsThatRun() {
  std::vector<InstructionSet> sets;
  for (InstructionSet set : {InstructionSet::sse2, InstructionSet::avx2, InstructionSet::avx512}) {
    if (set <= PasteKernelSet::kWidest && set <= tessaly::simd::processorInstructionSet()) sets.push_back(set);
  }
  return sets;
}

const PasteKernelSet& kernelsOf(InstructionSet set) {
  plugin_test_hooks::useInstructionSet(set);
  const PasteKernelSet& kernels = tessaly::simd::kernels<PasteKernelSet>();
  plugin_test_hooks::useInstructionSet(InstructionSet::avx512);
  return kernels;
}

constexpr std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

// One source alpha's values. First plan: pixel i, channel c takes the pair
// number p = 3i + c (modulo 65536) as s = p / 256 and d = p % 256, so the
// channels cover every (s, d), while the destination alphas run through every
// value. Second plan, for the one rule whose colour depends on da: 86 pixels
// per da, whose channels cover every d, with s spread.
struct Values {
  std::vector<std::uint32_t> source;
  std::vector<std::uint32_t> target;
};

Values everySourceAndDestination(std::uint32_t a) {
  Values v;
  for (std::uint32_t i = 0; 3 * i < 65536; ++i) {
    std::uint32_t s[3], d[3];
    for (std::uint32_t c = 0; c < 3; ++c) {
      const std::uint32_t p = (3 * i + c) & 0xFFFF;
      s[c] = p >> 8;
      d[c] = p & 0xFF;
    }
    v.source.push_back(argb(a, s[2], s[1], s[0]));
    v.target.push_back(argb((i * 7 + a * 13) & 0xFF, d[2], d[1], d[0]));
  }
  return v;
}

Values everyDestinationAndItsAlpha(std::uint32_t a) {
  Values v;
  for (std::uint32_t da = 0; da < 256; ++da) {
    for (std::uint32_t k = 0; 3 * k < 256; ++k) {
      std::uint32_t s[3], d[3];
      for (std::uint32_t c = 0; c < 3; ++c) {
        d[c] = (3 * k + c) & 0xFF;
        s[c] = (d[c] * 97 + da * 31 + a * 5 + c) & 0xFF;
      }
      v.source.push_back(argb(a, s[2], s[1], s[0]));
      v.target.push_back(argb(da, d[2], d[1], d[0]));
    }
  }
  return v;
}

std::string describeFirstDifference(const Values& in, const std::vector<std::uint32_t>& got,
                                    const std::vector<std::uint32_t>& expected) {
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (got[i] == expected[i]) continue;
    std::ostringstream out;
    out << std::hex << "source 0x" << in.source[i] << " onto 0x" << in.target[i] << " wrote 0x" << got[i]
        << ", expected 0x" << expected[i];
    return out.str();
  }
  return {};
}

// Runs the kernel over the values laid out as rows of `width` pixels; pixels
// that fill no whole row stay as they are.
std::vector<std::uint32_t> pasteAsRows(tessaly::PasteRowsKernel kernel, const Values& in, std::uint32_t width) {
  std::vector<std::uint32_t> source = in.source;
  std::vector<std::uint32_t> target = in.target;
  const auto pitch = static_cast<std::int32_t>(width * 4);
  const auto height = static_cast<std::uint32_t>(in.target.size() / width);
  kernel(PixelRect{reinterpret_cast<std::uint8_t*>(source.data()), pitch, width, height},
         PixelRect{reinterpret_cast<std::uint8_t*>(target.data()), pitch, width, height});
  return target;
}

std::vector<std::uint32_t> expectedAsRows(std::vector<std::uint32_t> expected, const Values& in, std::uint32_t width) {
  for (std::size_t i = expected.size() / width * width; i < expected.size(); ++i) expected[i] = in.target[i];
  return expected;
}

// Under the sanitizers, which run these loops some ten times slower, every
// 15th source alpha (0, 15, … 255): still more than 10^6 values per mode.
#ifdef __SANITIZE_ADDRESS__
constexpr std::uint32_t kAlphaStep = 15;
#else
constexpr std::uint32_t kAlphaStep = 1;
#endif

class PasteKernels : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(PasteKernels, MatchTheReferenceForEveryValue) {
  const std::uint32_t mode = GetParam();
  const auto rule = static_cast<std::size_t>(tessaly::pasteRuleOfMode(mode));
  for (auto plan : {everySourceAndDestination, everyDestinationAndItsAlpha}) {
    for (std::uint32_t a = 0; a < 256; a += kAlphaStep) {
      const Values in = plan(a);
      std::vector<std::uint32_t> expected(in.target.size());
      for (std::size_t i = 0; i < expected.size(); ++i) {
        expected[i] = referencePastePixel(mode, in.source[i], in.target[i]);
      }
      for (InstructionSet set : instructionSetsThatRun()) {
        const tessaly::PasteRowsKernel kernel = kernelsOf(set).rule[rule];
        ASSERT_NE(kernel, nullptr);
        // One row of them all, and rows of 3, which only the partial-chunk path pastes.
        for (const auto width : {static_cast<std::uint32_t>(in.target.size()), 3u}) {
          const auto got = pasteAsRows(kernel, in, width);
          const auto want = expectedAsRows(expected, in, width);
          ASSERT_EQ(got, want) << plugin_test_hooks::name(set) << " mode " << mode << " in rows of " << width << ": "
                               << describeFirstDifference(in, got, want);
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryModeThatWrites, PasteKernels, ::testing::Range<std::uint32_t>(1, 21),
                         [](const ::testing::TestParamInfo<std::uint32_t>& mode) { return "mode" + std::to_string(mode.param); });

// Rows of every width up to a few vectors, starting at every offset within a
// 64-byte line (and off the pixel grid), in padded rows between guard bytes:
// the loops that align their stores and mask their partial vectors write
// every pixel of the rectangle as the reference does and nothing else. Runs
// of opaque and of clear source pixels put the whole-vector shortcuts next to
// the partial vectors.
TEST(PasteKernelRows, EveryWidthAndStartWritesOnlyTheRectangle) {
  constexpr std::uint32_t kHeight = 3, kGuard = 64, kPad = 12;
  std::mt19937 rng(77);
  for (InstructionSet set : instructionSetsThatRun()) {
    const PasteKernelSet& kernels = kernelsOf(set);
    for (std::uint32_t mode = 1; mode <= 20; ++mode) {
      const tessaly::PasteRowsKernel kernel = kernels.rule[static_cast<std::size_t>(tessaly::pasteRuleOfMode(mode))];
      for (std::uint32_t width = 1; width <= 41; ++width) {
        for (std::uint32_t offset : {0u, 4u, 8u, 20u, 32u, 44u, 60u, 2u}) {
          const std::uint32_t pitch = width * 4 + kPad;
          const std::size_t bytes = kGuard + offset + std::size_t{pitch} * kHeight + kGuard;
          // 64-byte aligned storage, so `offset` is the rows' place in a line.
          alignas(64) std::uint8_t sourceLine[1024], targetLine[1024];
          for (std::size_t i = 0; i < bytes; ++i) {
            sourceLine[i] = static_cast<std::uint8_t>(rng());
            targetLine[i] = static_cast<std::uint8_t>(rng());
          }
          // Alphas in runs of 20 pixels: opaque, clear, then as drawn.
          for (std::size_t i = 3; i < bytes; i += 4) {
            if (i / 80 % 3 < 2) sourceLine[i] = i / 80 % 3 == 0 ? 0xFF : 0x00;
          }
          const std::vector<std::uint8_t> before(targetLine, targetLine + bytes);
          const auto rect = [&](std::uint8_t* line) {
            return PixelRect{line + kGuard + offset, static_cast<std::int32_t>(pitch), width, kHeight};
          };
          kernel(rect(sourceLine), rect(targetLine));
          for (std::size_t i = 0; i < bytes; ++i) {
            const std::size_t inRows = i - (kGuard + offset);
            const bool inRectangle = i >= kGuard + offset && inRows / pitch < kHeight && inRows % pitch < width * 4;
            if (inRectangle) {
              if (inRows % 4 != 0) continue;
              const std::uint32_t want = referencePastePixel(mode, tessaly::loadPixel(&sourceLine[i]),
                                                             tessaly::loadPixel(&before[i]));
              ASSERT_EQ(tessaly::loadPixel(&targetLine[i]), want)
                  << plugin_test_hooks::name(set) << " mode " << mode << ", width " << width << ", offset " << offset
                  << ", byte " << i;
            } else {
              ASSERT_EQ(targetLine[i], before[i]) << plugin_test_hooks::name(set) << " mode " << mode << ", width "
                                                  << width << ", offset " << offset << ": byte " << i << " outside";
            }
          }
        }
      }
    }
  }
}

// Mode 1 copies runs of opaque source pixels and keeps runs of clear ones
// (each less one in colour) a whole vector at a time: one pixel anywhere in
// the vector that is not quite opaque or clear, with the top bit of its alpha
// as the others', must send the whole vector through the full formula.
TEST(PasteKernelRows, AlphaBlendShortcutsNeedEveryPixelOpaqueOrClear) {
  constexpr std::uint32_t kWidth = 64;
  struct Case {
    std::uint32_t alpha, oddAlpha;
  };
  const Case cases[] = {{0xFF, 0xFE}, {0xFF, 0x80}, {0x00, 0x01}, {0x00, 0x7F}};
  const auto rule = static_cast<std::size_t>(tessaly::PasteRule::alphaBlend);
  for (InstructionSet set : instructionSetsThatRun()) {
    const tessaly::PasteRowsKernel kernel = kernelsOf(set).rule[rule];
    for (const Case& c : cases) {
      for (std::uint32_t odd = 0; odd < kWidth; ++odd) {
        alignas(64) std::uint32_t source[kWidth], target[kWidth];
        for (std::uint32_t i = 0; i < kWidth; ++i) {
          source[i] = argb(i == odd ? c.oddAlpha : c.alpha, 200, 100 + i, 3 * i);
          target[i] = argb(i * 4, 7 * i, 90, 250 - i);
        }
        const std::uint32_t before = target[odd];
        kernel(PixelRect{reinterpret_cast<std::uint8_t*>(source), kWidth * 4, kWidth, 1},
               PixelRect{reinterpret_cast<std::uint8_t*>(target), kWidth * 4, kWidth, 1});
        EXPECT_EQ(target[odd], referencePastePixel(1, source[odd], before))
            << plugin_test_hooks::name(set) << ": alpha " << c.oddAlpha << " among " << c.alpha << " at " << odd;
      }
    }
  }
}

TEST(PasteModes, ModesWithoutAFormulaWriteNothing) {
  for (std::uint32_t mode : {0u, 21u, 22u, 1000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(tessaly::pasteRuleOfMode(mode), tessaly::PasteRule::none) << mode;
  }
  for (InstructionSet set : instructionSetsThatRun()) {
    EXPECT_EQ(kernelsOf(set).rule[static_cast<std::size_t>(tessaly::PasteRule::none)], nullptr)
        << plugin_test_hooks::name(set);
  }
}

}  // namespace
}  // namespace paste_test
