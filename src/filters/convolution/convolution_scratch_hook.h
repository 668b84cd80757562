// Test hook: the next convolution buffer cannot be had, as if memory had run
// out, so the memory message can be reached on request.
#pragma once

namespace tessaly {

void failNextConvolutionScratch();

}  // namespace tessaly
