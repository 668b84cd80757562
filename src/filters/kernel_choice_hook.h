// Test hook: chooses which kernel set the blurs use, so that tests on a
// processor with AVX2 or AVX-512 cover the narrower sets too.
#pragma once

namespace tessaly {

enum class KernelChoice { widest, avx2, sse2 };

// The set chosen; one the processor cannot run falls back to the next narrower.
void useKernels(KernelChoice choice);

}  // namespace tessaly
