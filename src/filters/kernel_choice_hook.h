// Test hook: restricts the blur kernels to the SSE2 baseline, so that tests on
// an AVX2 machine cover both instruction sets.
#pragma once

namespace tessaly {

void useBaselineKernelsOnly(bool baseline);

}  // namespace tessaly
