// The plug-in's test interface: what only tests change. Shipped builds link
// test_hooks_inert.cpp, whose answers never vary; the test programs link an
// implementation they can set (tests/plugin_test_hooks.h).
#pragma once

#include "filters/simd/instruction_set.h"

namespace tessaly::test_hooks {

// The widest instruction set the vector kernels may use, so that tests on a
// processor with AVX2 or AVX-512 cover the narrower sets too.
simd::InstructionSet widestInstructionSet();

// True once after a test asked for the next working-memory allocation of a
// filter to fail, as if memory had run out.
bool takeAllocationFailure();

}  // namespace tessaly::test_hooks
