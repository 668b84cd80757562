// Sharpen and emboss as plain loops, written straight from their description
// and kept slow and obvious: the readable definition the kernels are held to.
#pragma once

#include "filters/test_image.h"

namespace filter_test {

void referenceSharpen(TestImage& image);
void referenceEmboss(TestImage& image);

}  // namespace filter_test
