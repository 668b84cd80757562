// The test interface as shipped: no limit on the instruction set, and every
// allocation is really attempted.
#include "host/test_hooks.h"

namespace tessaly::test_hooks {

simd::InstructionSet widestInstructionSet() { return simd::InstructionSet::avx512; }

bool takeAllocationFailure() { return false; }

}  // namespace tessaly::test_hooks
