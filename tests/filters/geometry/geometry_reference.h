// Plain reference loops of the flips and the resizes,
// written straight from their description and kept slow and obvious.
#pragma once

#include "filters/test_image.h"

#include <cstdint>

namespace filter_test {

void referenceFlipHorizontally(TestImage& image);
void referenceFlipVertically(TestImage& image);
void referenceFlipBoth(TestImage& image);

Words referenceResizeNearest(const Words& old, std::uint32_t width, std::uint32_t height);
Words referenceResizeBilinear(const Words& old, std::uint32_t width, std::uint32_t height);

}  // namespace filter_test
