// Plain reference loops of the nine blur passes, written straight from their
// description and kept slow and obvious.
#pragma once

#include "filters/test_image.h"

#include <cstdint>
#include <random>
#include <vector>

namespace blur_test {

using filter_test::kSentinel;
using filter_test::randomImage;
using filter_test::TestImage;

enum class Kernel { box, gaussian, binomial };
enum class Passes { horizontal, vertical, both };

void referenceBlur(TestImage& image, Kernel kernel, Passes passes, std::int32_t radius);

// The pass under test, by kernel and direction form.
void realBlur(TestImage& image, Kernel kernel, Passes passes, std::int32_t radius);

}  // namespace blur_test
