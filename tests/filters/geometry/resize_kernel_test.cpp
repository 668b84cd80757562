// The resize kernels on plain memory: from old images with rows packed
// tight (so that any read past the last pixel leaves the allocation) or
// padded, against the reference loops, with every instruction set.
#include "filters/geometry/geometry_reference.h"

#include "filters/geometry/resize_kernels.h"
#include "plugin_test_hooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace filter_test {
namespace {

using plugin_test_hooks::forEveryInstructionSet;
using Size = std::pair<std::uint32_t, std::uint32_t>;

TEST(ResizeKernels, MatchReferenceWithTightAndPaddedRows) {
  const struct {
    Size from, to;
  } cases[] = {{{17, 3}, {34, 6}}, {{33, 2}, {37, 3}}, {{64, 2}, {63, 2}}, {{40, 3}, {24, 2}},
               {{100, 2}, {57, 3}}, {{5, 1}, {80, 1}}, {{80, 1}, {5, 1}}, {{2, 2}, {2049, 3}}};
  std::mt19937 rng(60);
  const auto plans = std::make_unique<tessaly::ResizePlans>();
  forEveryInstructionSet([&](const char* set) {
    SCOPED_TRACE(set);
    for (const auto& c : cases) {
      for (std::uint32_t padding : {0u, 4u, 20u}) {
        const Words before = randomWords(c.from.first, c.from.second, rng);
        TestImage old = imageOf(before, padding);
        for (bool bilinear : {false, true}) {
          TestImage out(c.to.first, c.to.second, padding);
          const tessaly::ResizeTarget target{out.rect(), c.to.first, c.to.second};
          if (bilinear) {
            tessaly::resizeBilinear(old.rect(), target, plans->bilinear);
          } else {
            tessaly::resizeNearest(old.rect(), target, plans->nearest);
          }
          const Words expected = bilinear ? referenceResizeBilinear(before, c.to.first, c.to.second)
                                          : referenceResizeNearest(before, c.to.first, c.to.second);
          ASSERT_EQ(wordsOf(out), expected) << (bilinear ? "bilinear " : "nearest ") << c.from.first << "x"
                                            << c.from.second << " to " << c.to.first << "x" << c.to.second << " +"
                                            << padding;
          ASSERT_TRUE(out.paddingIntact());
        }
      }
    }
  });
}

}  // namespace
}  // namespace filter_test
