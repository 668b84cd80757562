// Sharpen and emboss as plain loops, written straight from their description
// and kept slow and obvious: the readable definition the kernels are held to.
#pragma once

#include "filters/padded_image.h"

namespace filter_test {

void referenceSharpen(PaddedImage& image);
void referenceEmboss(PaddedImage& image);

}  // namespace filter_test
