#include "plugin_test_hooks.h"

#include "host/test_hooks.h"

using tessaly::simd::InstructionSet;

namespace {

InstructionSet widest = InstructionSet::avx512;
bool failNext = false;

}  // namespace

namespace tessaly::test_hooks {

InstructionSet widestInstructionSet() { return widest; }

bool takeAllocationFailure() {
  const bool fail = failNext;
  failNext = false;
  return fail;
}

}  // namespace tessaly::test_hooks

namespace plugin_test_hooks {

void useInstructionSet(InstructionSet set) { widest = set; }

void failNextAllocation() { failNext = true; }

bool allocationFailureArmed() { return failNext; }

const char* name(InstructionSet set) {
  switch (set) {
    case InstructionSet::avx512: return "AVX-512";
    case InstructionSet::avx2: return "AVX2";
    case InstructionSet::sse2: return "SSE2";
  }
  return "?";
}

}  // namespace plugin_test_hooks
