// The settable side of the plug-in's test interface (host/test_hooks.h),
// linked into the test programs only.
#pragma once

#include "filters/simd/instruction_set.h"

namespace plugin_test_hooks {

// Kernels no wider than this set; one the processor cannot run falls back to
// the next narrower.
void useInstructionSet(tessaly::simd::InstructionSet widest);

// The next working-memory allocation of a filter fails as if memory had run out.
void failNextAllocation();
// True while that failure has not happened yet.
bool allocationFailureArmed();

// Every instruction set, widest first (a set the processor lacks repeats a
// narrower one).
inline constexpr tessaly::simd::InstructionSet kEveryInstructionSet[] = {
    tessaly::simd::InstructionSet::avx512, tessaly::simd::InstructionSet::avx2, tessaly::simd::InstructionSet::sse2};

const char* name(tessaly::simd::InstructionSet set);

// Runs body(name) with each instruction set in turn, widest first, then lets
// the kernels use every set again.
template <class Body>
void forEveryInstructionSet(Body body) {
  for (tessaly::simd::InstructionSet set : kEveryInstructionSet) {
    useInstructionSet(set);
    body(name(set));
  }
  useInstructionSet(tessaly::simd::InstructionSet::avx512);
}

}  // namespace plugin_test_hooks
