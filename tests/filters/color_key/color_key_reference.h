// The colour keys and the replacement as plain loops, written straight from
// their description and kept slow and obvious: the readable definition the
// kernels are held to.
#pragma once

#include "filters/test_image.h"

#include <cstdint>

namespace filter_test {

void referenceHardKey(TestImage& image, std::uint32_t colour);
void referenceSoftKey(TestImage& image, std::uint32_t colour);
void referenceReplace(TestImage& image, std::uint32_t newColour, std::uint32_t sourceColour);

}  // namespace filter_test
