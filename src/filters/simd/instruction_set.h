// The instruction sets the vectorised filters are built for, narrowest first,
// and the one this process uses: the widest the processor runs, unless a test
// has narrowed it (see host/test_hooks.h).
#pragma once

namespace tessaly::simd {

// SSE2 is the baseline of every build; AVX2 counts only together with FMA,
// AVX-512 only with its F, BW, DQ and VL parts (every processor that has
// AVX-512 for general use has all four).
enum class InstructionSet { sse2, avx2, avx512 };

InstructionSet processorInstructionSet();
InstructionSet chosenInstructionSet();

}  // namespace tessaly::simd
