// The instruction sets the vectorised filters are built for, narrowest first,
// and the one this process uses: the widest the processor runs, unless a test
// has narrowed it (see host/test_hooks.h).
#pragma once

namespace tessaly::simd {

// SSE2 is the baseline of every build; AVX2 counts only together with FMA.
enum class InstructionSet { sse2, avx2, avx512 };

InstructionSet processorInstructionSet();
InstructionSet chosenInstructionSet();

}  // namespace tessaly::simd
